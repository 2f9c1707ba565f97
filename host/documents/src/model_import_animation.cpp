#include "model_import_animation.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "model_import_space.h"
#include "vantrel_host/document_builder.h"

namespace vantrel_host::model_import {
namespace {

using Samples = std::vector<std::pair<Float, Vector>>;  // seconds, value

template <typename Key>
bool KeysDiffer(const Key* keys, unsigned count) {
    for (unsigned i = 1; i < count; ++i)
        if (!(keys[i].mValue == keys[0].mValue)) return true;
    return false;
}

void AddTracks(BaseObject& op, Int32 channel, const Samples& samples) {
    for (Int32 c = 0; c < 3; ++c) {
        std::vector<std::pair<Float, Float>> keys;
        for (const auto& [time, value] : samples) keys.emplace_back(time, value[c]);
        AddTrack(op, DescID(channel, VECTOR_X + c), keys);
    }
}

template <typename Key, typename Convert>
Samples KeySamples(const Key* keys, unsigned count, double ticks_per_second, Convert convert) {
    Samples samples;
    for (unsigned i = 0; i < count; ++i)
        samples.emplace_back(keys[i].mTime / ticks_per_second, convert(keys[i].mValue));
    return samples;
}

Samples RotationSamples(const aiQuatKey* keys, unsigned count, double ticks_per_second) {
    Samples samples;
    Vector previous = MatrixToHPB(ToHost(keys[0].mValue));
    const auto add = [&](Float time, const aiQuaternion& q) {
        previous = NearestHPB(MatrixToHPB(ToHost(q)), previous);
        samples.emplace_back(time, previous);
    };
    add(keys[0].mTime / ticks_per_second, keys[0].mValue);
    for (unsigned i = 1; i < count; ++i) {
        const Float t0 = keys[i - 1].mTime / ticks_per_second,
                    t1 = keys[i].mTime / ticks_per_second;
        const Float wanted = std::ceil((t1 - t0) * kRotationSamplesPerSecond);
        // NaN and spans that do not move forward get one step.
        const int steps = keys[i - 1].mValue == keys[i].mValue || !(wanted > 1)
                              ? 1
                              : static_cast<int>(std::min(wanted, Float(kMaxSamplesPerSpan)));
        for (int s = 1; s <= steps; ++s) {
            const Float f = Float(s) / steps;
            aiQuaternion q;
            aiQuaternion::Interpolate(q, keys[i - 1].mValue, keys[i].mValue, float(f));
            add(t0 + (t1 - t0) * f, q);
        }
    }
    return samples;
}

}  // namespace

void ImportAnimation(const aiAnimation& animation,
                     const std::map<std::string, BaseObject*>& objects, BaseDocument& doc) {
    const double ticks_per_second =
        animation.mTicksPerSecond > 0 ? animation.mTicksPerSecond : kDefaultTicksPerSecond;
    Float first = 0.0, last = animation.mDuration / ticks_per_second;
    const auto cover = [&](const Samples& samples) {
        first = std::min(first, samples.front().first);
        last = std::max(last, samples.back().first);
    };
    for (unsigned c = 0; c < animation.mNumChannels; ++c) {
        const aiNodeAnim* channel = animation.mChannels[c];
        if (channel == nullptr) continue;
        const auto object = objects.find(channel->mNodeName.C_Str());
        if (object == objects.end()) continue;
        BaseObject& op = *object->second;
        if (channel->mNumPositionKeys > 0 && channel->mPositionKeys != nullptr) {
            const Samples samples =
                KeySamples(channel->mPositionKeys, channel->mNumPositionKeys, ticks_per_second,
                           [](const aiVector3D& v) { return ToHost(v); });
            op.SetRelPos(samples.front().second);
            if (KeysDiffer(channel->mPositionKeys, channel->mNumPositionKeys))
                AddTracks(op, ID_BASEOBJECT_REL_POSITION, samples);
            cover(samples);
        }
        if (channel->mNumRotationKeys > 0 && channel->mRotationKeys != nullptr) {
            const Samples samples = RotationSamples(channel->mRotationKeys,
                                                    channel->mNumRotationKeys, ticks_per_second);
            op.SetRelRot(samples.front().second);
            if (KeysDiffer(channel->mRotationKeys, channel->mNumRotationKeys))
                AddTracks(op, ID_BASEOBJECT_REL_ROTATION, samples);
            cover(samples);
        }
        if (channel->mNumScalingKeys > 0 && channel->mScalingKeys != nullptr) {
            const Samples samples =
                KeySamples(channel->mScalingKeys, channel->mNumScalingKeys, ticks_per_second,
                           [](const aiVector3D& v) { return Vector(v.x, v.y, v.z); });
            op.SetRelScale(samples.front().second);
            if (KeysDiffer(channel->mScalingKeys, channel->mNumScalingKeys))
                AddTracks(op, ID_BASEOBJECT_REL_SCALE, samples);
            cover(samples);
        }
    }
    if (std::isfinite(first) && std::isfinite(last) && last > first) {
        doc.SetMinTime(BaseTime(first));
        doc.SetMaxTime(BaseTime(last));
        doc.SetTime(BaseTime(first));
    }
}

}  // namespace vantrel_host::model_import

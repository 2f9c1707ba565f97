// Transform animation: which tracks are written, and each as a series of matrices
// sampled 30 times a second from its first key to its last.
#include "C4DAnimation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "C4DLoader.h"
#include "C4DParameters.h"
#include "C4DText.h"
#include "tavsceneapi_values.h"

namespace {

constexpr Int32 kPosition = ID_BASEOBJECT_REL_POSITION;
constexpr Int32 kRotation = ID_BASEOBJECT_REL_ROTATION;
constexpr Int32 kScale = ID_BASEOBJECT_REL_SCALE;

constexpr Int32 kSamplesPerSecond = 30;
// 1/30 s in single precision; sample times accumulate it, as the renderer expects.
constexpr float kSampleStep = 0.033333335f;
// Stamps and start times are 32-bit integers; 2^31 is the first value that does not fit.
constexpr float kInt32Limit = 2147483648.0f;

bool isTransformChannel(Int32 channel) {
    return channel == kPosition || channel == kRotation || channel == kScale;
}

Float seconds(const BaseTime& time) {
    return time.GetDenominator() == 0.0 ? 0.0 : time.GetNumerator() / time.GetDenominator();
}

// First and last key times of a track in single precision.
struct KeySpan {
    float first = 0.0f;
    float last = 0.0f;
};

// A track is worth sampling when it is switched on and its keys span some time that
// single precision can still tell apart.
bool usableSpan(CTrack* track, KeySpan& span) {
    const CCurve* curve = track->GetCurve(CCURVETYPE_CURVE, true);
    if (!curve || curve->GetKeyCount() < 1) return false;
    span.first = static_cast<float>(seconds(curve->GetKey(0)->GetTime()));
    span.last = static_cast<float>(seconds(curve->GetKey(curve->GetKeyCount() - 1)->GetTime()));
    return span.last - span.first > 0.0f && readParameter<Int32>(track, ID_CTRACK_ON) != 0;
}

// Seconds truncated toward zero; times beyond the 32-bit range saturate.
int32_t wholeSeconds(float time) {
    if (time >= kInt32Limit) return INT32_MAX;
    if (!(time >= -kInt32Limit)) return INT32_MIN;
    return static_cast<int32_t>(time);
}

// A matrix with its inverse, the inverse of a product always being the product of the
// factors' inverses in reverse order.
struct Frame {
    Matrix64 x;
    Matrix64 inverse;
};

Frame operator*(const Frame& a, const Frame& b) { return {a.x * b.x, b.inverse * a.inverse}; }

Frame frameOf(const Matrix64& m) { return {m, ~m}; }

// The factors of an object's base matrix Mpos·Mrot·Mscl, with the rotation also split
// into its single angles, nested as the host nests them: Mrot = Mh·Mp·Mb (heading
// outermost, bank innermost).
struct BaseFrames {
    Frame pos, rot, scl, h, p, b;
};

// The frame X through which a track's change K (a move, one angle's turn or a scale
// since the first key, made where the track's own factor sits in the base matrix)
// reaches the space the renderer applies the sample in:
// - Cameras: the record holds the camera's whole matrix, so the sample S = X·K·inv(X)
//   is applied outside it, in the parent's space. X is every factor from the outside
//   in to the track's own: Mpos for a move, Mpos·Mh to Mpos·Mh·Mp·Mb for an angle,
//   Mpos·Mrot·Mscl for a scale. The track's own factor commutes with K and changes
//   nothing; it only keeps the pattern uniform.
// - Objects: the group already carries the object's matrix, and the renderer applies
//   the sample inside it, in the object's own space: S = inv(X)·K·X. X is every factor
//   the track's own encloses (all of them for a move, from the track's angle inward
//   for an angle, none but the scale for a scale), with the scale taken first where
//   the base matrix has it last. That order is what the renderer has always been sent;
//   for a uniform scale it is the exact inside view.
Frame sampleFrame(const BaseFrames& f, Int32 channel, int component, bool camera) {
    if (camera) {
        if (channel == kPosition) return f.pos;
        if (channel == kScale) return f.pos * f.rot * f.scl;
        if (component == 0) return f.pos * f.h;
        if (component == 1) return f.pos * f.h * f.p;
        return f.pos * f.h * f.p * f.b;
    }
    if (channel == kPosition) return f.scl * f.rot * f.pos;
    if (channel == kScale) return f.scl;
    if (component == 0) return f.scl * f.h * f.p * f.b;
    if (component == 1) return f.scl * f.p * f.b;
    return f.scl * f.b;
}

Matrix64 channelMatrix(Int32 channel, const Vector64& v, ROTATIONORDER order) {
    if (channel == kPosition) return MatrixMove(v);
    if (channel == kRotation) return HPBToMatrix(v, order);
    return MatrixScale(v);
}

// "object/label", cut to the folder buffer; a long object name gives way first so that
// the channel label survives.
std::string folderText(const char* objectName, const char* label) {
    const std::string suffix = cutUtf8(std::string("/") + label, kMaxNameBytes);
    return cutUtf8(objectName, kMaxNameBytes - suffix.size()) + suffix;
}

// What one call of writeTracksSeparate shares among its tracks.
struct ChannelWriter {
    tavScene_api& api;
    BaseDocument* document;
    ROTATIONORDER order;
    bool camera;
    BaseFrames base;
    std::string folder;
    std::vector<tavMatrix>& matrices;
    std::vector<int32_t>& stamps;
    size_t& written;

    void write(CTrack* track);
    void sample(CTrack* track, const KeySpan& span, Int32 channel, int component);
};

void ChannelWriter::write(CTrack* track) {
    KeySpan span;
    if (!usableSpan(track, span)) return;
    const Int32 channel = track->GetDescriptionID()[0].id;
    matrices.clear();
    stamps.clear();
    sample(track, span, channel, trackComponent(track));
    // A first key too far out to give even one stamp leaves nothing to write.
    if (matrices.empty()) return;

    std::string name;
    getUtf8(track->GetName(), name);
    const int32_t startTime = wholeSeconds(span.first);
    const float duration = span.last - span.first;
    api.animation_begin("fbx_animation", name.c_str());
    tav::setParameter(api, "start_time", startTime);
    tav::setParameter(api, "duration", duration);
    tav::setParameter(api, "folder", folder);
    tav::setArray(api, "matrices", matrices);
    tav::setArray(api, "timestamps", stamps);
    api.animation_end();
    ++written;
}

// Each sample holds only the change this track makes since its first key.
void ChannelWriter::sample(CTrack* track, const KeySpan& span, Int32 channel, int component) {
    const Frame frame = sampleFrame(base, channel, component, camera);
    const Vector64 unchanged = channel == kScale ? Vector64(1.0) : Vector64(0.0);
    Matrix64 firstInverse;
    for (float t = span.first;;) {
        const float stamp = (t - span.first) * 1000.0f;
        if (!(stamp < kInt32Limit)) break;
        Vector64 v = unchanged;
        v[component] = static_cast<float>(
            track->GetValue(document, BaseTime(static_cast<Float>(t)), kSamplesPerSecond));
        const Matrix64 m = channelMatrix(channel, v, order);
        if (t == span.first) firstInverse = ~m;
        // The change since the first key; channel matrices of one axis commute, so this
        // is the same change whichever side the first key's inverse stands on.
        const Matrix64 change = m * firstInverse;
        // A camera's matrix was mirrored when it was written (C4DCamera.cpp); its
        // change is mirrored alike.
        const Matrix64 s =
            camera ? mirrorMatrix() * (frame.x * change * frame.inverse) * mirrorMatrix()
                   : frame.inverse * change * frame.x;
        matrices.push_back(toTavMatrix(s));
        stamps.push_back(static_cast<int32_t>(stamp));
        // Far from zero, single precision no longer resolves the step: stop there
        // instead of sampling one time for ever.
        const float next = t + kSampleStep;
        if (!(next > t) || !(next <= span.last)) break;
        t = next;
    }
}

}  // namespace

int trackComponent(const CTrack* track) {
    const Int32 level = track->GetDescriptionID()[1].id;
    return level >= VECTOR_X && level <= VECTOR_Z ? level - VECTOR_X : -1;
}

bool rotationSorter::operator()(const CTrack* a, const CTrack* b) const {
    // Components in the order the rotation order names them, first to last.
    static constexpr const char* kSequences[] = {"zxy", "xzy", "xyz", "yxz", "yzx", "zyx", "xyz"};
    const int ca = trackComponent(a), cb = trackComponent(b);
    if (ca == cb || ca < 0 || cb < 0 || order < 0 || order > 6) return false;
    const char* sequence = kSequences[order];
    return std::strchr(sequence, 'x' + ca) < std::strchr(sequence, 'x' + cb);
}

const Matrix64& mirrorMatrix() {
    // A function-local constant: initialised once, thread-safely, on first use.
    static const Matrix64 mirror = MatrixScale(Vector64(1, 1, -1));
    return mirror;
}

tavMatrix toTavMatrix(const Matrix64& m) {
    return {{m.v1.x, m.v1.y, m.v1.z, 0.0, m.v2.x, m.v2.y, m.v2.z, 0.0, m.v3.x, m.v3.y, m.v3.z, 0.0,
             m.off.x, m.off.y, m.off.z, 1.0}};
}

void C4DLoader::browseTrack(CTrack* track, std::vector<CTrack*>& scaleTracks,
                            std::vector<CTrack*>& rotationTracks,
                            std::vector<CTrack*>& positionTracks) {
    KeySpan span;
    // Only x, y and z have a place in a transform; any other component is left out.
    if (!usableSpan(track, span) || trackComponent(track) < 0) return;
    switch (track->GetDescriptionID()[0].id) {
        case kPosition:
            positionTracks.push_back(track);
            break;
        case kRotation:
            rotationTracks.push_back(track);
            break;
        case kScale:
            scaleTracks.push_back(track);
            break;
        default:
            break;
    }
}

void C4DLoader::writeTracksSeparate(const char* objectName, std::vector<CTrack*> tracks,
                                    const char* channelLabel, Vector64 basePosition,
                                    Vector64 baseRotation, ROTATIONORDER rotationOrder,
                                    Vector64 baseScale, bool camera) {
    // Tracks that are not x, y or z of a transform channel have no matrix; dropping them
    // before sorting also keeps the sorter a strict ordering.
    tracks.erase(std::remove_if(tracks.begin(), tracks.end(),
                                [](const CTrack* t) {
                                    return trackComponent(t) < 0 ||
                                           !isTransformChannel(t->GetDescriptionID()[0].id);
                                }),
                 tracks.end());
    if (tracks.empty()) return;
    std::sort(tracks.begin(), tracks.end(), rotationSorter(rotationOrder));

    ChannelWriter writer{
        *sceneWrapper->get_scene_api(),
        document,
        rotationOrder,
        camera,
        {frameOf(MatrixMove(basePosition)), frameOf(HPBToMatrix(baseRotation, rotationOrder)),
         frameOf(MatrixScale(baseScale)),
         frameOf(HPBToMatrix(Vector64(baseRotation.x, 0, 0), rotationOrder)),
         frameOf(HPBToMatrix(Vector64(0, baseRotation.y, 0), rotationOrder)),
         frameOf(HPBToMatrix(Vector64(0, 0, baseRotation.z), rotationOrder))},
        folderText(objectName, channelLabel),
        trackMatrices,
        trackStamps,
        counts.animations};
    // The components reach the scene in the reverse of the sorted order.
    for (auto track = tracks.rbegin(); track != tracks.rend(); ++track) writer.write(*track);
}

void C4DLoader::writeTransformTracks(BaseList2D* node, const char* name, Vector64 position,
                                     Vector64 rotation, ROTATIONORDER rotationOrder, Vector64 scale,
                                     bool camera) {
    std::vector<CTrack*> scaleTracks, rotationTracks, positionTracks;
    for (CTrack* track = node->GetFirstCTrack(); track; track = track->GetNext())
        browseTrack(track, scaleTracks, rotationTracks, positionTracks);
    writeTracksSeparate(name, scaleTracks, camera ? "Camera Scale" : "Scale", position, rotation,
                        rotationOrder, scale, camera);
    writeTracksSeparate(name, rotationTracks, camera ? "Camera Rotation" : "Rotation", position,
                        rotation, rotationOrder, scale, camera);
    writeTracksSeparate(name, positionTracks, camera ? "Camera Position" : "Position", position,
                        rotation, rotationOrder, scale, camera);
}

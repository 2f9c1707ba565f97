// Node animation as the host's transform tracks.
#pragma once

#include <assimp/anim.h>

#include <map>

#include "c4d.h"

namespace vantrel_host::model_import {

// Applies one animation to the objects of its nodes (looked up by name in objects;
// channels of other nodes are left out). Each channel's first key becomes the
// object's position, rotation or scale. Where the keys of a channel differ, the
// channel gets three tracks (x, y, z; heading, pitch, bank): position and scale
// tracks carry the keys, rotation tracks the rotation resampled at least
// kRotationSamplesPerSecond times a second between keys (the host interpolates each
// angle, Assimp the rotation), with angles kept continuous. Times are ticks over
// the ticks per second (kDefaultTicksPerSecond when the file gives none). The
// document's time range grows to hold every key and the animation's duration.
void ImportAnimation(const aiAnimation& animation,
                     const std::map<std::string, BaseObject*>& objects, BaseDocument& doc);

constexpr double kRotationSamplesPerSecond = 30.0;
constexpr double kDefaultTicksPerSecond = 25.0;
// A cap on the samples between two rotation keys, for files with absurd key times.
constexpr int kMaxSamplesPerSpan = 100000;

}  // namespace vantrel_host::model_import

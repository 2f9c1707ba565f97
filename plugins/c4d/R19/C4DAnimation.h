// Transform tracks: which vector component a track animates, the order in which an
// object's rotation order wants them, and the matrices shared with the camera writer.
#pragma once

#include "c4d.h"
#include "tavsceneapi.h"

// Component index of a track (second description level minus 1000): 0, 1 or 2 for
// x, y and z (heading, pitch, bank); -1 for any other second level.
int trackComponent(const CTrack* track);

// Orders the tracks of one channel by component in the sequence the rotation order
// gives; the animation writer then writes them last to first. Equal components, an
// order outside 0 to 6 and components other than x, y and z never compare as less.
class rotationSorter {
public:
    explicit rotationSorter(ROTATIONORDER rotationOrder) : order(rotationOrder) {}
    bool operator()(const CTrack* a, const CTrack* b) const;

private:
    ROTATIONORDER order;
};

// The host is left-handed, the renderer right-handed: scale by (1, 1, -1). Built once.
const Matrix64& mirrorMatrix();

// The host matrix as a scene matrix: rows X axis, Y axis, Z axis (each with 0) and
// offset (with 1).
tavMatrix toTavMatrix(const Matrix64& m);

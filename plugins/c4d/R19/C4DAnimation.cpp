#include "C4DLoader.h"

// Animation is not converted yet.
void C4DLoader::browseTrack(CTrack*, std::vector<CTrack*>&, std::vector<CTrack*>&,
                            std::vector<CTrack*>&) {}
void C4DLoader::writeTracksSeparate(const char*, std::vector<CTrack*>, const char*, Vector64,
                                    Vector64, ROTATIONORDER, Vector64, bool) {}

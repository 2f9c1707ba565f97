// Where the scene wrapper draws its scene interface from.
#pragma once

#include "tavsceneapi.h"

namespace tav {

class tavSceneapi_oo;

class LightFactory {
public:
    virtual ~LightFactory() {}
    // The scene interface to write to, or null when none can be had.
    virtual tavScene_api* getApi() = 0;
    // Called once by the wrapper after it took the interface, before anything else is sent.
    virtual void init(tavSceneapi_oo* wrapper) = 0;
    virtual void shutdown() = 0;
};

// Hands out an interface that someone else owns.
class PassThroughFactory : public LightFactory {
public:
    explicit PassThroughFactory(tavScene_api* borrowed) : api(borrowed) {}
    tavScene_api* getApi() override { return api; }
    void init(tavSceneapi_oo*) override {}
    void shutdown() override {}

private:
    tavScene_api* api;
};

}  // namespace tav

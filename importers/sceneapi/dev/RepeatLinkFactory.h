// The factory of the render and update commands: loads the renderer's live-link
// library, picks a running renderer instance (one that shows the model first, then,
// when updating, any instance, then one with an empty scene), launches the renderer
// and polls when none qualifies, and connects the live scene interface to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "LightFactory.h"
#include "tavvantrellive.h"

namespace tav {

// One running renderer instance as the query interface lists it.
struct VantrelInstance {
    int version_major = 0;  // 0 in a returned record: no instance
    int64_t process_id = 0;
    int livelink_port = 0;  // below 1: unknown, the default ports are scanned
};

class RepeatLinkFactory : public LightFactory {
public:
    RepeatLinkFactory() = default;
    // Disconnects and unloads the library, as shutdown does.
    ~RepeatLinkFactory() override;
    RepeatLinkFactory(const RepeatLinkFactory&) = delete;
    RepeatLinkFactory& operator=(const RepeatLinkFactory&) = delete;

    // Connects on first use; null on failure, with the reason in getLastError().
    tavScene_api* getApi() override;
    void init(tavSceneapi_oo* wrapper) override;
    void shutdown() override;
    // Ends the connection after the last scene call and unloads the library: whether the
    // renderer confirmed that the whole scene arrived. If not (it went away, stopped
    // taking data for the live-link time limit, or nothing was connected), lastError
    // says so.
    bool finish();

    void setModelName(const std::string& name) { modelName_ = name; }
    void setUpdate(bool update) { update_ = update; }
    // Accepted renderer major versions, both included.
    void setVersionRange(int versionMin, int versionMax);
    // Instance id stated on the scene interface before connecting.
    void setId(int id) { id_ = id; }
    // Polling after a launch: numTries - 1 looks at the instance list, each followed by
    // a pause of tryDelay milliseconds.
    void setNumTries(int numTries) { numTries_ = numTries; }
    void setTryDelay(int milliseconds) { tryDelay_ = milliseconds; }

    // Whether the chosen instance already showed the model.
    bool hadModel() const { return hadModel_; }
    std::string getLastError() const { return lastError_; }

    // Obtains the interfaces, chooses or launches an instance and connects. On failure
    // the interface is dropped and the library unloaded, and lastError says why.
    bool connectOrInit();
    // Instances of an accepted version, in list order; entries lacking a number are skipped.
    std::vector<VantrelInstance> getInstances(tavQuery_api* query) const;
    VantrelInstance getValidInstance(tavQuery_api* query,
                                     const std::vector<VantrelInstance>& instances);
    // Whether a qualifying instance is running now; leaves no library loaded unless the
    // factory is connected.
    bool probe();
    bool get_version(int& major, int& minor, int& patch) const;

private:
    bool connectToInstance(const VantrelInstance& chosen);
    bool fail(const std::string& error);

    int numTries_ = 20;
    int tryDelay_ = 1000;
    tavScene_api* api_ = nullptr;  // belongs to the live-link library
    int versionMin_ = 7;
    int versionMax_ = 20;
    std::string modelName_;
    bool update_ = false;
    bool hadModel_ = false;
    std::string lastError_;
    int id_ = 1;
};

}  // namespace tav

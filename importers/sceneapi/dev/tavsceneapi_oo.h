// The object every converter writes through during one command: it takes a scene
// interface from a factory and offers typed conveniences over it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "LightFactory.h"
#include "tavsceneapi.h"

namespace tav {

class LightNode;

class tavSceneapi_oo {
public:
    // Takes the interface from a factory the caller owns and keeps alive.
    explicit tavSceneapi_oo(LightFactory* factory);
    // Writes into a null back end: every call is accepted, nothing is produced.
    tavSceneapi_oo();
    // Leaves the factory alone: its owner shuts it down after deleting the wrapper.
    virtual ~tavSceneapi_oo();

    tavSceneapi_oo(const tavSceneapi_oo&) = delete;
    tavSceneapi_oo& operator=(const tavSceneapi_oo&) = delete;

    virtual void setSceneapi(tavScene_api* api);
    virtual int createInstanceID();
    virtual void insertNode(const LightNode& node);
    virtual void setProgress(const std::string& text, float fraction);
    virtual void begin_group(const std::string& name);
    virtual void end_group();
    virtual int shaderBegin(const std::string& name);
    virtual void shaderEnd();
    virtual void set_parameter(const std::string& name, bool value);
    virtual void set_parameter(const std::string& name, int value);
    virtual void set_parameter(const std::string& name, float value);
    virtual void set_parameter(const std::string& name, double value);
    virtual void set_parameter(const std::string& name, const tavVector& value);
    virtual void set_parameter(const std::string& name, const tavColor& value);
    virtual void set_parameter(const std::string& name, const std::string& value);
    // Deprecated: throws std::invalid_argument, nothing reaches the interface.
    virtual void set_parameter(const std::string& name, const char* value);
    virtual void set_array(const std::string& name, const std::vector<double>& values);
    virtual void set_array(const std::string& name, const std::vector<float>& values);
    virtual void set_array(const std::string& name, const std::vector<int>& values);
    virtual void set_array(const std::string& name, const std::vector<tavMatrix>& values);
    virtual void set_vec3_array(const std::string& name, const std::vector<float>& values);
    virtual void set_transform(const tavMatrix& m, bool replace);
    virtual void set_transform(const tavMatrix& m);
    virtual void set_flags(int flags);
    // Null when the factory could supply no interface.
    virtual tavScene_api* get_scene_api();

    void init();
    void message(std::string text) const;
    void error(std::string text) const;

    // File name of a path without folder and extension.
    static std::string get_scene_name(const std::string& path);

private:
    tavScene_api* api = nullptr;
    LightFactory* factory = nullptr;
    int shaderCounter = 0;
    int instanceCounter = 0;
    // Only set by the default constructor, which owns its null back end.
    std::unique_ptr<tavScene_api> ownedApi;
    std::unique_ptr<LightFactory> ownedFactory;
};

}  // namespace tav

#include "tavsceneapi_oo.h"

#include <stdexcept>

#include "LightModule.h"
#include "NullApi.h"
#include "tavsceneapi_values.h"

namespace tav {

namespace {

const int kVersionMajor = 9;
const int kVersionMinor = 0;
const int kVersionBuild = 206;
// Fixed rather than __DATE__ so that the same document always gives the same bytes.
const char* const kBuildStamp = "Tue Jun  4 11:19:06 2019";

std::string banner() {
    return "Vantrel SceneApi oo " + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "." + std::to_string(kVersionBuild) + "  (built " +
           kBuildStamp + ")";
}

}  // namespace

tavSceneapi_oo::tavSceneapi_oo(LightFactory* source) : factory(source) { init(); }

tavSceneapi_oo::tavSceneapi_oo()
    : ownedApi(std::make_unique<NullApi>()),
      ownedFactory(std::make_unique<PassThroughFactory>(ownedApi.get())) {
    factory = ownedFactory.get();
    init();
}

tavSceneapi_oo::~tavSceneapi_oo() = default;

void tavSceneapi_oo::init() {
    setSceneapi(factory->getApi());
    if (!api) return;
    factory->init(this);
    api->print(banner().c_str());
    api->set_version(kVersionMajor);
}

void tavSceneapi_oo::setSceneapi(tavScene_api* newApi) {
    api = newApi;
    shaderCounter = 0;
    instanceCounter = 0;
}

tavScene_api* tavSceneapi_oo::get_scene_api() { return api; }

int tavSceneapi_oo::createInstanceID() {
    api->set_id(++instanceCounter);
    return instanceCounter;
}

void tavSceneapi_oo::insertNode(const LightNode& node) { node.insert(this); }

void tavSceneapi_oo::setProgress(const std::string& text, float fraction) {
    api->set_progress(text.c_str(), fraction);
}

void tavSceneapi_oo::begin_group(const std::string& name) { api->group_begin(name.c_str(), true); }

void tavSceneapi_oo::end_group() { api->group_end(); }

int tavSceneapi_oo::shaderBegin(const std::string& name) {
    api->shader_begin(name.c_str(), ++shaderCounter);
    return shaderCounter;
}

void tavSceneapi_oo::shaderEnd() { api->shader_end(); }

void tavSceneapi_oo::set_parameter(const std::string& name, bool value) {
    setParameter(*api, name.c_str(), value);
}

void tavSceneapi_oo::set_parameter(const std::string& name, int value) {
    setParameter(*api, name.c_str(), int32_t{value});
}

void tavSceneapi_oo::set_parameter(const std::string& name, float value) {
    setParameter(*api, name.c_str(), value);
}

void tavSceneapi_oo::set_parameter(const std::string& name, double value) {
    setParameter(*api, name.c_str(), value);
}

void tavSceneapi_oo::set_parameter(const std::string& name, const tavVector& value) {
    setParameter(*api, name.c_str(), value);
}

void tavSceneapi_oo::set_parameter(const std::string& name, const tavColor& value) {
    setParameter(*api, name.c_str(), value);
}

void tavSceneapi_oo::set_parameter(const std::string& name, const std::string& value) {
    setParameter(*api, name.c_str(), value);
}

void tavSceneapi_oo::set_parameter(const std::string&, const char*) {
    // Exists so that a string literal cannot silently pick the bool overload.
    throw std::invalid_argument("const char * are deprecated");
}

void tavSceneapi_oo::set_array(const std::string& name, const std::vector<double>& values) {
    setArray(*api, name.c_str(), values);
}

void tavSceneapi_oo::set_array(const std::string& name, const std::vector<float>& values) {
    setArray(*api, name.c_str(), values);
}

void tavSceneapi_oo::set_array(const std::string& name, const std::vector<int>& values) {
    setArray(*api, name.c_str(), values);
}

void tavSceneapi_oo::set_array(const std::string& name, const std::vector<tavMatrix>& values) {
    setArray(*api, name.c_str(), values);
}

void tavSceneapi_oo::set_vec3_array(const std::string& name, const std::vector<float>& values) {
    // A trailing partial triple is not sent.
    setColorArray(*api, name.c_str(), values.data(), values.size() / 3);
}

void tavSceneapi_oo::set_transform(const tavMatrix& m, bool replace) {
    if (replace)
        api->transform_set(m);
    else
        api->transform(m);
}

void tavSceneapi_oo::set_transform(const tavMatrix& m) { set_transform(m, false); }

void tavSceneapi_oo::set_flags(int flags) { api->set_flags(flags); }

void tavSceneapi_oo::message(std::string text) const { api->print(text.c_str()); }

void tavSceneapi_oo::error(std::string text) const { api->error(text.c_str()); }

std::string tavSceneapi_oo::get_scene_name(const std::string& path) {
    // Looking for the dot only within the file name keeps dotted folders out of the result.
    const std::string file = path.substr(path.rfind('/') + 1);
    return file.substr(0, file.rfind('.'));
}

}  // namespace tav

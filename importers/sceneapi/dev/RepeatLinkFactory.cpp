#include "RepeatLinkFactory.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdlib>

#include "XmlSearch.h"
#include "tav_sys.h"
#include "vantrel_system.h"
#include "vantrellive_loader.h"

namespace tav {

namespace {

const char* const kNoSceneApi =
    "Could not get a scene api. Please check your Vantrel installation.\n";
const char* const kNoQueryApi =
    "Could not get a query api. Please check your Vantrel installation.\n";
const char* const kNoLaunch = "Unabled to launch Vantrel. Please check your Vantrel installation.";
const char* const kNoConnection =
    "Could not connect on any known port. Please check your Vantrel installation and Live Link "
    "settings.";
const char* const kNotDelivered =
    "The renderer closed the connection or stopped responding; the scene was not delivered "
    "completely.";

// The decimal number held by the first child of the element named name within instance;
// false when that element is missing or its text is not a whole number in range.
bool readNumber(const TiXmlElement* instance, const char* name, int64_t min, int64_t max,
                int64_t& value) {
    const TiXmlElement* element = XmlSearch::findElement(instance, name);
    const TiXmlNode* text = element ? element->FirstChild() : nullptr;
    if (!text || !text->ToText()) return false;
    const char* begin = text->Value();
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(begin, &end, 10);
    if (end == begin || errno == ERANGE || number < min || number > max) return false;
    while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r') ++end;
    if (*end != '\0') return false;
    value = number;
    return true;
}

// Empty when the root's first child element exists and none of its children has children.
bool sceneIsEmpty(const TiXmlElement* root) {
    const TiXmlElement* first = root ? root->FirstChildElement() : nullptr;
    if (!first) return false;
    for (const TiXmlElement* child = first->FirstChildElement(); child;
         child = child->NextSiblingElement())
        if (child->FirstChildElement()) return false;
    return true;
}

// Keeps the candidate of the highest version; the first of equal versions stays.
void offer(VantrelInstance& candidate, const VantrelInstance& instance) {
    if (instance.version_major > candidate.version_major) candidate = instance;
}

}  // namespace

RepeatLinkFactory::~RepeatLinkFactory() { shutdown(); }

tavScene_api* RepeatLinkFactory::getApi() {
    lastError_.clear();
    if (!api_ && !connectOrInit()) lastError_ = "Failed to connect. " + lastError_;
    return api_;
}

void RepeatLinkFactory::init(tavSceneapi_oo*) {}

void RepeatLinkFactory::shutdown() {
    if (api_) finish();
}

bool RepeatLinkFactory::finish() {
    const bool delivered = api_ && api_->disconnect();
    if (api_) tav_free_scene_api_linked();
    api_ = nullptr;
    if (!delivered) lastError_ = kNotDelivered;
    return delivered;
}

void RepeatLinkFactory::setVersionRange(int versionMin, int versionMax) {
    versionMin_ = versionMin;
    versionMax_ = versionMax;
}

bool RepeatLinkFactory::fail(const std::string& error) {
    lastError_ = error;
    // Never leave an unconnected interface to be handed out later.
    api_ = nullptr;
    tav_free_scene_api_linked();
    return false;
}

bool RepeatLinkFactory::connectOrInit() {
    api_ = tav_get_scene_api_linked(versionMin_, versionMax_);
    if (!api_) return fail(kNoSceneApi);
    api_->set_id(id_);
    tavQuery_api* query = tav_get_query_api(versionMin_, versionMax_);
    if (!query) return fail(kNoQueryApi);

    VantrelInstance chosen = getValidInstance(query, getInstances(query));
    if (chosen.version_major == 0) {
        if (!VantrelSystem::instance().launch_vantrel(versionMin_, versionMax_))
            return fail(kNoLaunch);
        for (int tries = numTries_ - 1; tries > 0 && chosen.version_major == 0; --tries) {
            chosen = getValidInstance(query, getInstances(query));
            tav_sys::sleep(tryDelay_);
        }
    }
    if (!connectToInstance(chosen)) return fail(kNoConnection);
    return true;
}

bool RepeatLinkFactory::connectToInstance(const VantrelInstance& chosen) {
    if (chosen.livelink_port >= 1) return api_->connect("localhost", chosen.livelink_port, 4);
    int low = 0;
    int high = -1;
    VantrelSystem::instance().getDefaultPortRange(low, high, versionMin_, versionMax_);
    for (int port = low; port <= high; ++port)
        if (api_->connect("127.0.0.1", port, 1)) return true;
    return false;
}

std::vector<VantrelInstance> RepeatLinkFactory::getInstances(tavQuery_api* query) const {
    std::vector<VantrelInstance> instances;
    const char* text = query->get_instances();
    if (!text) return instances;
    TiXmlDocument document;
    document.Parse(text);
    if (document.Error() || !document.RootElement()) return instances;

    for (const TiXmlElement* element = document.RootElement()->FirstChildElement(); element;
         element = element->NextSiblingElement()) {
        int64_t version = 0;
        int64_t processId = 0;
        int64_t port = 0;
        if (!readNumber(element, "version_major", INT32_MIN, INT32_MAX, version)) continue;
        if (version < versionMin_ || version > versionMax_) continue;
        if (!readNumber(element, "process_id", INT64_MIN, INT64_MAX, processId) ||
            !readNumber(element, "livelink_port", INT32_MIN, INT32_MAX, port))
            continue;
        instances.push_back({static_cast<int>(version), processId, static_cast<int>(port)});
    }
    return instances;
}

VantrelInstance RepeatLinkFactory::getValidInstance(tavQuery_api* query,
                                                    const std::vector<VantrelInstance>& instances) {
    VantrelInstance withModel;
    VantrelInstance anyInstance;
    VantrelInstance emptyScene;
    for (const VantrelInstance& instance : instances) {
        if (!query->attach_instance(instance.process_id)) continue;
        const char* tree = query->get_scene_tree();
        if (!tree) {
            query->detach_instance();
            continue;
        }
        TiXmlDocument document;
        document.Parse(tree);
        const TiXmlElement* root = document.Error() ? nullptr : document.RootElement();
        if (!modelName_.empty() &&
            XmlSearch::findByNameAttribute(root, modelName_,
                                           XmlSearch::findDepth(instance.version_major)))
            offer(withModel, instance);
        if (update_) offer(anyInstance, instance);
        if (sceneIsEmpty(root)) offer(emptyScene, instance);
        query->detach_instance();
    }
    hadModel_ = withModel.version_major > 0;
    if (hadModel_) return withModel;
    return anyInstance.version_major > 0 ? anyInstance : emptyScene;
}

bool RepeatLinkFactory::probe() {
    tavQuery_api* query = tav_get_query_api(versionMin_, versionMax_);
    bool found = false;
    if (!query)
        lastError_ = kNoQueryApi;
    else
        found = getValidInstance(query, getInstances(query)).version_major > 0;
    if (!api_) tav_free_scene_api_linked();
    return found;
}

bool RepeatLinkFactory::get_version(int& major, int& minor, int& patch) const {
    return api_ && api_->get_version(major, minor, patch);
}

}  // namespace tav

#include "scene_tree.h"

#include <tinyxml.h>

#include <algorithm>

namespace vantrel_renderer {

void SceneTree::addModel(const std::string& name) {
    if (std::find(models_.begin(), models_.end(), name) == models_.end()) models_.push_back(name);
}

std::string SceneTree::xml() const {
    TiXmlElement scene("scene");
    TiXmlElement modelsets("modelsets");
    TiXmlElement modelset("modelset");
    modelset.SetAttribute("name", "default");
    modelset.SetAttribute("modelset", "active");
    for (const std::string& name : models_) {
        TiXmlElement model("model");
        model.SetAttribute("name", name);
        modelset.InsertEndChild(model);
    }
    modelsets.InsertEndChild(modelset);
    scene.InsertEndChild(modelsets);
    TiXmlPrinter printer;
    scene.Accept(&printer);
    return printer.Str();
}

}  // namespace vantrel_renderer

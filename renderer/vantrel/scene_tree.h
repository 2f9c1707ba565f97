// The renderer's scene tree as the query interface shows it: every received model
// group is a named model inside the active model set, at the fourth level:
//   <scene><modelsets><modelset name="default" modelset="active"><model name="..."/>...
#pragma once

#include <string>
#include <vector>

namespace vantrel_renderer {

class SceneTree {
public:
    // Adds a model unless one of that name is shown already.
    void addModel(const std::string& name);
    std::string xml() const;

private:
    std::vector<std::string> models_;
};

}  // namespace vantrel_renderer

#include "XmlSearch.h"

#include <tinyxml.h>

const TiXmlElement* XmlSearch::findElement(const TiXmlElement* element, const std::string& name) {
    if (!element) return nullptr;
    if (element->ValueStr() == name) return element;
    for (const TiXmlElement* child = element->FirstChildElement(); child;
         child = child->NextSiblingElement())
        if (const TiXmlElement* found = findElement(child, name)) return found;
    return nullptr;
}

int XmlSearch::findDepth(int versionMajor) { return versionMajor >= 7 ? 4 : 3; }

const TiXmlElement* XmlSearch::findByNameAttribute(const TiXmlElement* element,
                                                   const std::string& name, int depth) {
    if (!element || depth < 1) return nullptr;
    const char* modelset = element->Attribute("modelset");
    if (modelset && std::string(modelset) != "active") return nullptr;
    const char* elementName = element->Attribute("name");
    if (elementName && name == elementName) return element;
    for (const TiXmlElement* child = element->FirstChildElement(); child;
         child = child->NextSiblingElement())
        if (const TiXmlElement* found = findByNameAttribute(child, name, depth - 1)) return found;
    return nullptr;
}

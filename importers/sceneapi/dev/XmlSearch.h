// Searches in the XML texts of the live-link query interface (TinyXML documents).
#pragma once

#include <string>

class TiXmlElement;

class XmlSearch {
public:
    // The element itself when its tag is name, else the first match among its child
    // elements in document order, searched depth first; null when there is none.
    static const TiXmlElement* findElement(const TiXmlElement* element, const std::string& name);
    // How many levels, counting the root, a renderer of that major version nests models in.
    static int findDepth(int versionMajor);
    // The first element, within depth levels of element (element itself is level 1), whose
    // "name" attribute is name. Nothing below an element whose "modelset" attribute is
    // other than "active" is found.
    static const TiXmlElement* findByNameAttribute(const TiXmlElement* element,
                                                   const std::string& name, int depth);
};

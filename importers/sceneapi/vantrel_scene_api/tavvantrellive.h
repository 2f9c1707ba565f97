// What the plug-in relies on of the renderer's live-link library, a binary contract:
// the library exports "vantrel_live_initialize", which returns a live object, and the
// live object hands out a scene interface and a query interface. Never reorder, insert
// or remove a virtual operation here.
#pragma once

#include <cstdint>

#include "tavsceneapi.h"

// Lists the running renderer instances and inspects one of them.
class tavQuery_api {
public:
    // Slot 0: NUL-terminated XML listing the running instances, or null.
    virtual const char* get_instances() = 0;
    // Slot 1: binds the interface to the instance with that process id.
    virtual bool attach_instance(int64_t process_id) = 0;
    // Slot 2: not used by the plug-in.
    virtual void reserved_slot_2() {}
    // Slot 3: releases the binding made by attach_instance.
    virtual void detach_instance() = 0;
    // Slots 4 and 5: not used by the plug-in.
    virtual void reserved_slot_4() {}
    virtual void reserved_slot_5() {}
    // Slot 6: NUL-terminated XML describing the bound instance's scene, or null.
    virtual const char* get_scene_tree() = 0;

protected:
    // Owned by the live object; never deleted through this interface.
    ~tavQuery_api() = default;
};

// The object vantrel_live_initialize returns; both interfaces belong to it and stay
// valid until it is destroyed.
class tavVantrelLive {
public:
    virtual ~tavVantrelLive() = default;
    virtual tavScene_api* get_scene_api() = 0;
    virtual tavQuery_api* get_query_api() = 0;
};

extern "C" {
typedef tavVantrelLive* (*vantrel_live_initialize_fn)();
}

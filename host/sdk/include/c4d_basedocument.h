// The document: objects, materials, layers, time and selection.
#pragma once

#include <memory>

#include "c4d_baseobject.h"

class BaseMaterial;

enum SELECTION : Int32 { SELECTION_NEW = 0, SELECTION_ADD = 1, SELECTION_SUB = 2 };

class BaseDocument {
public:
    static BaseDocument* Alloc();
    static void Free(BaseDocument*& doc);
    ~BaseDocument();
    BaseDocument(const BaseDocument&) = delete;
    BaseDocument& operator=(const BaseDocument&) = delete;

    BaseObject* GetFirstObject() const;
    // Under parent (top level when null), after pred (first when null).
    void InsertObject(BaseObject* op, BaseObject* parent, BaseObject* pred);
    // The first object of that name, depth-first in document order; null if none.
    BaseObject* SearchObject(const String& name) const;

    BaseMaterial* GetFirstMaterial() const;
    void InsertMaterial(BaseMaterial* mat, BaseMaterial* pred = nullptr);
    BaseMaterial* SearchMaterial(const String& name) const;

    GeListHead* GetLayerObjectRoot() const { return layers_.get(); }

    BaseTime GetTime() const { return time_; }
    void SetTime(const BaseTime& t) { time_ = t; }
    BaseTime GetMinTime() const { return min_time_; }
    void SetMinTime(const BaseTime& t) { min_time_ = t; }
    BaseTime GetMaxTime() const { return max_time_; }
    void SetMaxTime(const BaseTime& t) { max_time_ = t; }
    Int32 GetFps() const { return fps_; }
    void SetFps(Int32 fps) { fps_ = fps; }

    // Animation: every track with keys on an object of the document tree sets its
    // parameter to the track's value at the current time (caches are not animated).
    // The stand-in builds no caches and runs no expressions.
    Bool ExecutePasses(BaseThread* bt, Bool animation, Bool expressions, Bool caches,
                       BUILDFLAGS flags);

    // File name and folder; empty for an unsaved document.
    Filename GetDocumentName() const { return name_; }
    void SetDocumentName(const Filename& name) { name_ = name; }
    Filename GetDocumentPath() const { return path_; }
    void SetDocumentPath(const Filename& path) { path_ = path; }

    // The selected objects and then the selected tags (BIT_ACTIVE), in document order.
    void GetSelection(AtomArray& selection) const;
    // The first selected object, depth-first; null if none.
    BaseObject* GetActiveObject() const;
    void SetActiveObject(BaseObject* op, SELECTION mode = SELECTION_NEW);
    // Clears BIT_ACTIVE on every object and tag.
    void DeselectAll();

private:
    BaseDocument();
    std::unique_ptr<GeListHead> objects_;
    std::unique_ptr<GeListHead> materials_;
    std::unique_ptr<GeListHead> layers_;
    BaseTime time_;
    BaseTime min_time_;
    BaseTime max_time_{3.0};
    Int32 fps_ = 30;
    Filename name_;
    Filename path_;
};

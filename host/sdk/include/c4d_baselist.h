// The node classes every document element derives from: C4DAtom (type and
// parameters), GeListNode (place in a list or tree), BaseList2D (name, data
// container, bits, tracks, shaders, layer).
#pragma once

#include <memory>
#include <vector>

#include "c4d_gedata.h"

class BaseDocument;
class CTrack;
class BaseShader;
class LayerObject;
class GeListHead;

class C4DAtom {
public:
    virtual ~C4DAtom() = default;
    C4DAtom(const C4DAtom&) = delete;
    C4DAtom& operator=(const C4DAtom&) = delete;

    Int32 GetType() const { return type_; }
    // Also true for the base type of the node's family (Xbase for every shader).
    virtual Bool IsInstanceOf(Int32 type) const { return type_ == type; }

    // False when the node has no such parameter; t_data is then nil.
    virtual Bool GetParameter(const DescID& id, GeData& t_data, DESCFLAGS_GET flags) const = 0;
    // A nil value removes a stored parameter.
    virtual Bool SetParameter(const DescID& id, const GeData& t_data, DESCFLAGS_SET flags) = 0;

protected:
    explicit C4DAtom(Int32 type) : type_(type) {}

private:
    Int32 type_;
};

// A node in a list: siblings, a parent and children. A node owns its children;
// deleting a node removes it from its list first.
class GeListNode : public C4DAtom {
public:
    ~GeListNode() override;

    GeListNode* GetNext() const { return next_; }
    GeListNode* GetPred() const { return pred_; }
    // The parent node; null for the top level of a list.
    GeListNode* GetUp() const;
    GeListNode* GetDown() const { return down_; }
    GeListNode* GetDownLast() const { return down_last_; }

    // Each of these first removes the node from where it stands.
    void InsertBefore(GeListNode* bl);
    void InsertAfter(GeListNode* bl);
    void InsertUnder(GeListNode* parent);
    void InsertUnderLast(GeListNode* parent);
    void Remove();

    // The head of the list the node's tree belongs to, and that list's document.
    GeListHead* GetListHead() const;
    BaseDocument* GetDocument() const;

protected:
    using C4DAtom::C4DAtom;

private:
    friend class GeListHead;
    GeListNode* next_ = nullptr;
    GeListNode* pred_ = nullptr;
    GeListNode* up_ = nullptr;
    GeListNode* down_ = nullptr;
    GeListNode* down_last_ = nullptr;  // kept so that appending a child takes constant time
};

// The hidden root of a list (the document's objects, an object's tags, ...). Its
// children are the list's top-level nodes.
class GeListHead : public GeListNode {
public:
    // owner: the document owning the list, or the node whose list it is.
    explicit GeListHead(BaseDocument* document, GeListNode* owner = nullptr);

    GeListNode* GetFirst() const { return GetDown(); }
    GeListNode* GetLast() const { return GetDownLast(); }
    void InsertFirst(GeListNode* bl) { bl->InsertUnder(this); }
    void InsertLast(GeListNode* bl) { bl->InsertUnderLast(this); }
    void FlushAll();

    BaseDocument* GetOwnerDocument() const;
    GeListNode* GetOwner() const { return owner_; }

    Bool GetParameter(const DescID&, GeData& t_data, DESCFLAGS_GET) const override;
    Bool SetParameter(const DescID&, const GeData&, DESCFLAGS_SET) override { return false; }

private:
    BaseDocument* document_;
    GeListNode* owner_;
};

class BaseList2D : public GeListNode {
public:
    ~BaseList2D() override;

    BaseList2D* GetNext() const { return static_cast<BaseList2D*>(GeListNode::GetNext()); }
    BaseList2D* GetPred() const { return static_cast<BaseList2D*>(GeListNode::GetPred()); }

    String GetName() const { return name_; }
    void SetName(const String& name) { name_ = name; }

    BaseContainer* GetDataInstance() { return &data_; }
    const BaseContainer* GetDataInstance() const { return &data_; }
    BaseContainer GetData() const { return data_; }

    // Parameter 900 is the name. Otherwise a one-level id reads the data container,
    // and a two-level id (vector, 1000 to 1002) one component of a stored vector.
    Bool GetParameter(const DescID& id, GeData& t_data, DESCFLAGS_GET flags) const override;
    Bool SetParameter(const DescID& id, const GeData& t_data, DESCFLAGS_SET flags) override;

    Int32 GetAllBits() const { return bits_; }
    Bool GetBit(Int32 mask) const { return (bits_ & mask) != 0; }
    void SetBit(Int32 mask) { bits_ |= mask; }
    void DelBit(Int32 mask) { bits_ &= ~mask; }

    CTrack* GetFirstCTrack() const;
    // Appends the track; a track already on the same parameter is replaced.
    void InsertTrackSorted(CTrack* track);
    CTrack* FindCTrack(const DescID& id) const;

    BaseShader* GetFirstShader() const;
    void InsertShader(BaseShader* shader, BaseShader* pred = nullptr);

    LayerObject* GetLayerObject(BaseDocument* doc) const;
    Bool SetLayerObject(LayerObject* layer);

protected:
    explicit BaseList2D(Int32 type);

private:
    friend class BaseLink;
    String name_;
    BaseContainer data_;
    Int32 bits_ = 0;
    std::unique_ptr<GeListHead> tracks_;
    std::unique_ptr<GeListHead> shaders_;
    BaseLink layer_;
    std::shared_ptr<BaseList2D*> self_;  // shared with links, cleared when the node goes
};

class AtomArray {
public:
    static AtomArray* Alloc() { return new AtomArray; }
    static void Free(AtomArray*& array) {
        delete array;
        array = nullptr;
    }

    Int32 GetCount() const { return static_cast<Int32>(atoms_.size()); }
    // Null for an index outside the array.
    C4DAtom* GetIndex(Int32 idx) const {
        return idx >= 0 && idx < GetCount() ? atoms_[idx] : nullptr;
    }
    Bool Append(C4DAtom* obj) {
        atoms_.push_back(obj);
        return true;
    }
    void Flush() { atoms_.clear(); }

private:
    std::vector<C4DAtom*> atoms_;
};

// Owns one host object allocated with its class's Alloc and frees it with Free.
template <typename T>
class AutoAlloc {
public:
    AutoAlloc() : ptr_(T::Alloc()) {}
    ~AutoAlloc() {
        if (ptr_) T::Free(ptr_);
    }
    AutoAlloc(const AutoAlloc&) = delete;
    AutoAlloc& operator=(const AutoAlloc&) = delete;

    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    operator T*() const { return ptr_; }
    T* Release() {
        T* p = ptr_;
        ptr_ = nullptr;
        return p;
    }

private:
    T* ptr_;
};

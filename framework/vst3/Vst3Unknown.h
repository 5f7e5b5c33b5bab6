#pragma once
// Reference counting and interface queries, done once for every object of
// the binding and of hosts: an object answers the ids of the interfaces it
// implements with the matching sub-object, counts references atomically
// and deletes itself at zero.
#include <atomic>
#include <cstring>
#include <initializer_list>

#include "vst3/Vst3Abi.h"

namespace mg::vst3 {

// Hosts pass ids as 16 raw bytes with no alignment promised.
inline bool SameUid(const void* bytes, const Uid& uid)
{
    return bytes && std::memcmp(bytes, uid.bytes, sizeof uid.bytes) == 0;
}

struct InterfaceEntry {
    const Uid& iid;
    FUnknown* object;
};

// Stores the entry matching `iid` in `obj` with a reference taken, or null.
inline tresult QueryFrom(const void* iid, void** obj, std::initializer_list<InterfaceEntry> entries)
{
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    for (const InterfaceEntry& entry : entries) {
        if (!SameUid(iid, entry.iid)) continue;
        entry.object->addRef();
        *obj = entry.object;
        return kResultOk;
    }
    return kNoInterface;
}

class RefCount {
public:
    uint32 Add() { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    // The count after dropping one; the caller deletes at zero.
    uint32 Drop() { return count_.fetch_sub(1, std::memory_order_acq_rel) - 1; }

private:
    std::atomic<uint32> count_{1};
};

// An object of one interface (and FUnknown). Made with new, it starts with
// one reference, its maker's, and is deleted at its last release; an object
// whose owner holds it as a member (kDeleteAtZero false) only counts.
template <class Interface, const Uid& kIid, bool kDeleteAtZero = true>
class UnknownObject : public Interface {
public:
    UnknownObject() = default;
    UnknownObject(const UnknownObject&) = delete;
    UnknownObject& operator=(const UnknownObject&) = delete;
    virtual ~UnknownObject() = default;

    tresult MG_VST3_CALL queryInterface(const TUID iid, void** obj) override
    {
        return QueryFrom(iid, obj, {{kFUnknownIid, this}, {kIid, this}});
    }
    uint32 MG_VST3_CALL addRef() override { return count_.Add(); }
    uint32 MG_VST3_CALL release() override
    {
        const uint32 left = count_.Drop();
        if (kDeleteAtZero && left == 0) delete this;
        return left;
    }

private:
    RefCount count_;
};

// Holds one reference to a host's object and gives it back when done.
template <class Interface>
class HostRef {
public:
    HostRef() = default;
    explicit HostRef(Interface* object) : object_(object) {}
    HostRef(const HostRef&) = delete;
    HostRef& operator=(const HostRef&) = delete;
    ~HostRef() { Reset(); }

    // Takes a new reference to `object` (which may be null) and gives back the old.
    void Assign(Interface* object)
    {
        if (object) object->addRef();
        Reset();
        object_ = object;
    }
    // Adopts a reference the caller already holds (a query's answer).
    void Adopt(Interface* object)
    {
        Reset();
        object_ = object;
    }
    void Reset()
    {
        if (object_) object_->release();
        object_ = nullptr;
    }
    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // The interface `iid` of `from`, or null.
    template <class From>
    static Interface* Query(From* from, const Uid& iid)
    {
        void* answer = nullptr;
        if (!from || from->queryInterface(iid.bytes, &answer) != kResultOk) return nullptr;
        // Some hosts answer success with a null pointer.
        return static_cast<Interface*>(answer);
    }

private:
    Interface* object_ = nullptr;
};

} // namespace mg::vst3

#include "vst3/Vst3Module.h"

#include <atomic>
#include <cstring>
#include <type_traits>

#include "core/ReentrantLock.h"
#include "vst3/Vst3Text.h"
#include "vst3/Vst3Unknown.h"

namespace mg {

using namespace vst3;

namespace {

class Factory final : public IPluginFactory3 {
public:
    explicit Factory(const Vst3ModuleInfo& module) : module_(module) {}

    tresult MG_VST3_CALL queryInterface(const TUID iid, void** obj) override
    {
        return QueryFrom(iid, obj,
                         {{kFUnknownIid, this}, {kIPluginFactoryIid, this}, {kIPluginFactory2Iid, this},
                          {kIPluginFactory3Iid, this}});
    }
    // One object for the life of the library: references are only counted.
    uint32 MG_VST3_CALL addRef() override { return refs_.Add(); }
    uint32 MG_VST3_CALL release() override { return refs_.Drop(); }

    tresult MG_VST3_CALL getFactoryInfo(PFactoryInfo* info) override
    {
        if (!info) return kInvalidArgument;
        CopyField(info->vendor, module_.vendor);
        CopyField(info->url, module_.url);
        CopyField(info->email, module_.email);
        info->flags = PFactoryInfo::kUnicode;
        return kResultOk;
    }

    int32 MG_VST3_CALL countClasses() override { return static_cast<int32>(module_.classes.size()); }

    tresult MG_VST3_CALL getClassInfo(int32 index, PClassInfo* info) override
    {
        const Vst3Class* entry = Describe(index, info);
        if (!entry) return kInvalidArgument;
        CopyField(info->name, entry->identity.effectName);
        return kResultOk;
    }

    tresult MG_VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) override
    {
        const Vst3Class* entry = Describe(index, info);
        if (!entry) return kInvalidArgument;
        CopyField(info->name, entry->identity.effectName);
        CopyField(info->vendor, entry->identity.makerName);
        CopyField(info->version, module_.version);
        CopyField(info->sdkVersion, kSdkVersionText);
        return kResultOk;
    }

    tresult MG_VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) override
    {
        const Vst3Class* entry = Describe(index, info);
        if (!entry) return kInvalidArgument;
        ToUtf16(entry->identity.effectName, info->name);
        ToUtf16(entry->identity.makerName, info->vendor);
        ToUtf16(module_.version, info->version);
        ToUtf16(kSdkVersionText, info->sdkVersion);
        return kResultOk;
    }

    tresult MG_VST3_CALL createInstance(FIDString cid, FIDString iid, void** obj) override
    {
        if (!obj) return kInvalidArgument;
        *obj = nullptr;
        const Vst3Class* entry = nullptr;
        for (const Vst3Class& candidate : module_.classes)
            if (SameUid(cid, IdOf(candidate))) entry = &candidate;
        if (!entry) return kNoInterface;
        LockGuard guard(lock_);
        try {
            IVst3Plugin* plugin = entry->create(hostContext_);
            plugin->Open();
            // The query takes a reference of its own; the creation's goes.
            const tresult result = plugin->queryInterface(iid, obj);
            plugin->release();
            return result;
        } catch (...) {
            return kOutOfMemory;
        }
    }

    tresult MG_VST3_CALL setHostContext(FUnknown* context) override
    {
        LockGuard guard(lock_);
        if (context) context->addRef();
        if (hostContext_) hostContext_->release();
        hostContext_ = context;
        return kResultOk;
    }

    void ForgetHost() { setHostContext(nullptr); }

private:
    static Uid IdOf(const Vst3Class& entry) { return MakeUid(entry.id[0], entry.id[1], entry.id[2], entry.id[3]); }
    // The class at `index` with the fields every kind of class record has
    // filled in, or null.
    template <class Info>
    const Vst3Class* Describe(int32 index, Info* info) const
    {
        const Vst3Class* entry = ClassAt(index);
        if (!entry || !info) return nullptr;
        const Uid id = IdOf(*entry);
        std::memcpy(info->cid, id.bytes, sizeof id.bytes);
        info->cardinality = PClassInfo::kManyInstances;
        CopyField(info->category, kAudioEffectClass);
        if constexpr (!std::is_same_v<Info, PClassInfo>) {
            info->classFlags = 0; // the processor never runs apart from its controller
            CopyField(info->subCategories, entry->subCategories);
        }
        return entry;
    }
    const Vst3Class* ClassAt(int32 index) const
    {
        return index >= 0 && static_cast<std::size_t>(index) < module_.classes.size()
                   ? &module_.classes[static_cast<std::size_t>(index)]
                   : nullptr;
    }

    const Vst3ModuleInfo& module_;
    RefCount refs_;
    // Instances are created one at a time, with the context the host gave.
    ReentrantLock lock_;
    FUnknown* hostContext_ = nullptr;
};

std::atomic<Factory*> made{nullptr};

} // namespace

IPluginFactory* Vst3Factory(const Vst3ModuleInfo& module)
{
    try {
        // One object for the library's life, gone with the library when the
        // host unloads it (after its last release).
        static Factory factory(module);
        made.store(&factory);
        factory.addRef();
        return &factory;
    } catch (...) {
        return nullptr;
    }
}

void ForgetVst3Host()
{
    if (Factory* factory = made.load()) factory->ForgetHost();
}

} // namespace mg

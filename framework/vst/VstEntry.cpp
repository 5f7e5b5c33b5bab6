#include "vst/VstEntry.h"

namespace mg {

ReentrantLock& InstanceCreationLock()
{
    static ReentrantLock lock;
    return lock;
}

} // namespace mg

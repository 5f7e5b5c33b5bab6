#include "ImageCache.h"

namespace mg {

ImageCache& ImageCache::Instance()
{
    // Destroyed with the library's other statics, after every editor of
    // the process is gone.
    static ImageCache cache;
    return cache;
}

const IBitmap* ImageCache::Find(int id)
{
    LockGuard guard(lock_);
    for (const Entry& entry : entries_)
        if (entry.id == id) return entry.bitmap.get();
    return nullptr;
}

const IBitmap* ImageCache::Add(int id, std::unique_ptr<IBitmap> bitmap)
{
    if (!bitmap) return nullptr;
    LockGuard guard(lock_);
    entries_.push_back(Entry{id, std::move(bitmap)});
    return entries_.back().bitmap.get();
}

bool ImageCache::Drop(const IBitmap* bitmap)
{
    if (!bitmap) return false;
    std::unique_ptr<IBitmap> doomed;
    {
        LockGuard guard(lock_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->bitmap.get() != bitmap) continue;
            doomed = std::move(it->bitmap);
            entries_.erase(it);
            break;
        }
    }
    return doomed != nullptr;
}

bool ImageCache::Holds(const IBitmap* bitmap)
{
    LockGuard guard(lock_);
    for (const Entry& entry : entries_)
        if (entry.bitmap.get() == bitmap) return true;
    return false;
}

int ImageCache::Count()
{
    LockGuard guard(lock_);
    return static_cast<int>(entries_.size());
}

} // namespace mg

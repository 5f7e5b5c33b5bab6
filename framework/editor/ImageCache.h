#pragma once
// Decoded images shared by every editor in the process. Each resource is
// decoded once and kept until the library is unloaded; bitmaps handed over
// with KeepBitmap are kept under id -1 until dropped.
#include <memory>
#include <vector>

#include "core/ReentrantLock.h"
#include "raster/IBitmap.h"

namespace mg {

class ImageCache {
public:
    static constexpr int kKeptId = -1;

    // The one cache of the process, made on first use and emptied (every
    // bitmap deleted) when the library is unloaded.
    static ImageCache& Instance();

    ImageCache() = default;
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    // Every operation takes the lock itself; hold it across a find and an
    // add so that one resource is decoded only once.
    ReentrantLock& Lock() { return lock_; }

    // The first bitmap stored under `id`, or null.
    const IBitmap* Find(int id);
    // Takes ownership; returns the stored bitmap (null for null).
    const IBitmap* Add(int id, std::unique_ptr<IBitmap> bitmap);
    // Removes the first entry holding `bitmap` and deletes it; false when
    // no entry holds it.
    bool Drop(const IBitmap* bitmap);
    bool Holds(const IBitmap* bitmap);
    int Count();

private:
    struct Entry {
        int id;
        std::unique_ptr<IBitmap> bitmap;
    };

    ReentrantLock lock_;
    std::vector<Entry> entries_;
};

} // namespace mg

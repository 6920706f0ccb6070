// macOS: an FSEvents stream over the paths, from now on, batched by the system over 0.25
// seconds, delivered on a serial queue of its own.

#include <CoreServices/CoreServices.h>
#include <dispatch/dispatch.h>

#include "cf_ref.hpp"
#include "change_source.hpp"

namespace jolstrand::detail {
namespace {

class FSEventsSource final : public ChangeSource {
 public:
  FSEventsSource(const std::vector<std::string>& paths, std::function<void()> onBatch)
      : onBatch_(std::move(onBatch)),
        queue_(dispatch_queue_create("jolstrand.watcher", DISPATCH_QUEUE_SERIAL)) {
    const CFRef<CFMutableArrayRef> folders(
        CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    for (const std::string& path : paths) {
      const CFRef<CFStringRef> folder(
          CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()),
                                  static_cast<CFIndex>(path.size()), kCFStringEncodingUTF8, false));
      if (folder) CFArrayAppendValue(folders.get(), folder.get());
    }
    // The context points at this source without owning it: the source stops the stream first.
    FSEventStreamContext context{0, this, nullptr, nullptr, nullptr};
    stream_ = FSEventStreamCreate(kCFAllocatorDefault, &FSEventsSource::callback, &context,
                                  folders.get(), kFSEventStreamEventIdSinceNow, batchLatency,
                                  kFSEventStreamCreateFlagNone);
    if (stream_ != nullptr) {  // otherwise the watcher stays inert, silently
      FSEventStreamSetDispatchQueue(stream_, queue_);
      FSEventStreamStart(stream_);
    }
  }

  ~FSEventsSource() override {
    if (stream_ != nullptr) {
      FSEventStreamStop(stream_);
      FSEventStreamInvalidate(stream_);
      FSEventStreamRelease(stream_);
    }
    dispatch_sync_f(queue_, nullptr, [](void*) {});  // let a callback under way finish
    dispatch_release(queue_);
  }

  void waitUntilWatching() const override {}  // the stream watches from its creation

 private:
  static void callback(ConstFSEventStreamRef /*stream*/, void* info, size_t /*count*/,
                       void* /*paths*/, const FSEventStreamEventFlags* /*flags*/,
                       const FSEventStreamEventId* /*ids*/) {
    if (info != nullptr) static_cast<FSEventsSource*>(info)->onBatch_();
  }

  const std::function<void()> onBatch_;
  dispatch_queue_t queue_;
  FSEventStreamRef stream_ = nullptr;
};

}  // namespace

std::unique_ptr<ChangeSource> watchFolders(std::vector<std::string> paths,
                                           std::function<void()> onBatch) {
  return std::make_unique<FSEventsSource>(paths, std::move(onBatch));
}

}  // namespace jolstrand::detail

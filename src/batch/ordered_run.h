#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

// Runs produce(worker, i) for every i in 0..count-1 on `workers` threads and
// hands each result to consume(i, result) on the calling thread, strictly in
// the order of i, so whatever consume prints or numbers comes out as from one
// thread. worker (0..workers-1) names the thread, for resources one thread
// may use at a time.
//
// Memory stays bounded: a worker starts item i only while fewer than
// 2 * workers items are in work, waiting or being consumed, so at most
// `workers` items are in work and the rest wait for their turn. Results
// that light(result) calls light (small, holding no image) do not count
// once made; up to kLightSpan items may then wait, so a run of quick light
// items never stalls the workers behind the caller.
//
// stopped() is asked before each item is consumed; once it says true nothing
// more starts, results not yet consumed are dropped, and the call returns when
// the workers have finished the item in hand. With one worker, or when no
// thread can be started, everything runs on the calling thread, one item
// after another, with no thread overhead.
//
// produce must not throw (a throw counts as a default-constructed result);
// consume runs only on the calling thread.
template <typename Result>
void runOrdered(int32_t count, int32_t workers,
                const std::function<Result(int32_t worker, int32_t index)>& produce,
                const std::function<void(int32_t index, Result& result)>& consume,
                const std::function<bool()>& stopped,
                const std::function<bool(const Result&)>& light = {});

// ---------------------------------------------------------------------------

namespace ordered_run_detail {

template <typename Result>
Result produceSafely(const std::function<Result(int32_t, int32_t)>& produce, int32_t worker,
                     int32_t index) {
  try {
    return produce(worker, index);
  } catch (...) {
    return Result{};
  }
}

// Items, light or not, that may wait for the caller at once.
constexpr int32_t kLightSpan = 256;

template <typename Result>
class Window {
 public:
  // heavy: items in work or waiting that hold more than a light result.
  Window(int32_t count, int32_t heavy, int32_t span)
      : count_(count), heavy_(heavy), slots_(static_cast<size_t>(span)) {}

  // Worker side: the next index to work on, or nullopt when done or stopping.
  // Only the consumer decides to stop, so every index it awaits gets made.
  std::optional<int32_t> take() {
    std::unique_lock<std::mutex> hold(mutex_);
    freed_.wait(hold, [&] {
      return stopping_ || next_ >= count_ ||
             (next_ < consumed_ + span() && inWork_ + heavyWaiting_ < heavy_);
    });
    if (stopping_ || next_ >= count_) return std::nullopt;
    ++inWork_;
    return next_++;
  }

  void put(int32_t index, Result result, bool light) {
    std::lock_guard<std::mutex> hold(mutex_);
    Slot& entry = slots_[slot(index)];
    entry.result.emplace(std::move(result));
    entry.heavy = !light;
    --inWork_;
    if (entry.heavy) ++heavyWaiting_;
    ready_.notify_all();
    // A light result frees its place at once.
    if (light) freed_.notify_all();
  }

  // Consumer side: waits for the result of index and moves it out.
  Result await(int32_t index) {
    std::unique_lock<std::mutex> hold(mutex_);
    std::optional<Result>& entry = slots_[slot(index)].result;
    ready_.wait(hold, [&] { return entry.has_value(); });
    Result result = std::move(*entry);
    entry.reset();
    return result;
  }

  // Frees the slot of a consumed item; workers may start one more.
  void consumed(int32_t index) {
    std::lock_guard<std::mutex> hold(mutex_);
    Slot& entry = slots_[slot(index)];
    if (entry.heavy) --heavyWaiting_;
    entry.heavy = false;
    consumed_ = index + 1;
    freed_.notify_all();
  }

  // No item starts any more; workers leave after the one in hand.
  void stop() {
    std::lock_guard<std::mutex> hold(mutex_);
    stopping_ = true;
    freed_.notify_all();
  }

 private:
  struct Slot {
    std::optional<Result> result;
    bool heavy = false;  // counted in heavyWaiting_ until consumed
  };
  int32_t span() const { return static_cast<int32_t>(slots_.size()); }
  size_t slot(int32_t index) const { return static_cast<size_t>(index) % slots_.size(); }

  const int32_t count_;
  const int32_t heavy_;
  std::mutex mutex_;
  std::condition_variable freed_;
  std::condition_variable ready_;
  std::vector<Slot> slots_;
  int32_t next_ = 0;
  int32_t consumed_ = 0;
  int32_t inWork_ = 0;        // taken, not yet put
  int32_t heavyWaiting_ = 0;  // put, not light, not yet consumed
  bool stopping_ = false;
};

// Stops the window and joins the workers however the consumer loop ends.
template <typename Result>
class Workers {
 public:
  explicit Workers(Window<Result>& window) : window_(window) {}
  ~Workers() {
    window_.stop();
    for (std::thread& thread : threads_) thread.join();
  }
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Starts up to count threads running body(worker); fewer when the system
  // refuses more. Returns how many run.
  int32_t start(int32_t count, const std::function<void(int32_t)>& body) {
    for (int32_t worker = 0; worker < count; ++worker) {
      try {
        threads_.emplace_back(body, worker);
      } catch (const std::system_error&) {
        break;
      }
    }
    return static_cast<int32_t>(threads_.size());
  }

 private:
  Window<Result>& window_;
  std::vector<std::thread> threads_;
};

}  // namespace ordered_run_detail

template <typename Result>
void runOrdered(int32_t count, int32_t workers,
                const std::function<Result(int32_t worker, int32_t index)>& produce,
                const std::function<void(int32_t index, Result& result)>& consume,
                const std::function<bool()>& stopped,
                const std::function<bool(const Result&)>& light) {
  using ordered_run_detail::produceSafely;
  const int32_t heavy = 2 * std::max(workers, 1);
  ordered_run_detail::Window<Result> window(
      count, heavy, light ? std::max(heavy, ordered_run_detail::kLightSpan) : heavy);
  ordered_run_detail::Workers<Result> threads(window);
  const int32_t started = workers < 2 ? 0 : threads.start(workers, [&](int32_t worker) {
    while (std::optional<int32_t> index = window.take()) {
      Result result = produceSafely(produce, worker, *index);
      const bool isLight = light && light(result);
      window.put(*index, std::move(result), isLight);
    }
  });
  for (int32_t index = 0; index < count && !stopped(); ++index) {
    Result result = started > 0 ? window.await(index) : produceSafely(produce, 0, index);
    if (stopped()) break;
    consume(index, result);
    if (started > 0) window.consumed(index);
  }
}

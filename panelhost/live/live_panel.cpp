// LivePanel: the panel's session on its loop, and the snapshots readers see.
#include "panelhost/live/live_panel.h"

#include <algorithm>

namespace {

// `text` cut to `kept` bytes, not inside a UTF-8 sequence, with a marker
// saying how long it was.
std::string cutText(const std::string& text, size_t kept) {
  if (text.size() <= kept) return text;
  size_t end = kept;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end) + "… (cut: " + std::to_string(text.size()) + " bytes in all)";
}

}  // namespace

LivePanel::LivePanel(vesk_load_function loader, LayoutFolders layoutFolders, Devices devices,
                     SessionObserver* console, bool replies)
    : console_(console),
      replies_(replies),
      start_(EventLoop::Clock::now()),
      session_(loader, std::move(layoutFolders), std::move(devices), *this),
      loop_(
          [this]() -> std::optional<EventLoop::Clock::time_point> {
            const std::optional<std::int64_t> due = session_.studio().nextDue();
            if (!due) return std::nullopt;
            return start_ + std::chrono::milliseconds(*due);
          },
          [this] {
            catchUp();
            publish();
          }) {
  loop_.call([this] { publish(); });
}

LivePanel::~LivePanel() { stop(); }

Result<> LivePanel::start() {
  return onLoop([this]() -> Result<> {
    catchUp();
    Result<> started = session_.start();
    publish();
    if (started && session_.layouts().fileFault()) return fail(*session_.layouts().fileFault());
    return started;
  });
}

Result<std::string> LivePanel::press(const std::string& control, const std::string& choice) {
  return onLoop([&] { return pressNow(control, choice); });
}

Result<std::optional<std::string>> LivePanel::property(const std::string& message) {
  return onLoop([&] { return propertyNow(message); });
}

void LivePanel::press(const std::string& control, const std::string& choice, PressDone done) {
  auto shared = std::make_shared<PressDone>(std::move(done));
  if (!loop_.post([this, control, choice, shared] { (*shared)(pressNow(control, choice)); })) {
    (*shared)(fail("the panel host is stopping"));
  }
}

void LivePanel::property(const std::string& message, PropertyDone done, const std::string& asker) {
  auto shared = std::make_shared<PropertyDone>(std::move(done));
  if (!loop_.post([this, message, asker, shared] { (*shared)(propertyNow(message, asker)); })) {
    (*shared)(fail("the panel host is stopping"));
  }
}

Result<std::string> LivePanel::pressNow(const std::string& control, const std::string& choice) {
  catchUp();
  if (!session_.running()) return fail("no panel is running");
  Result<std::string> sent = session_.press({control, choice, std::nullopt, false});
  publish();
  return sent;
}

Result<std::optional<std::string>> LivePanel::propertyNow(const std::string& message, const std::string& asker) {
  catchUp();
  if (!session_.running()) return fail("no panel is running");
  std::optional<std::string> answer = session_.property(message, asker);
  publish();
  return answer;
}

void LivePanel::inStudio(std::function<void(Studio&)> work) {
  (void)onLoop([&]() -> Result<> {
    catchUp();
    work(session_.studio());
    session_.settle();
    publish();
    return Done{};
  });
}

bool LivePanel::running() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.running;
}

void LivePanel::stop() {
  loop_.post([this] {
    catchUp();
    session_.stop();
    publish();
  });
  loop_.quit();
}

std::vector<std::string> LivePanel::violations() {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.violations;
}

LivePanel::Update LivePanel::latest(std::uint64_t logAfter) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return updateLocked(logAfter);
}

std::uint64_t LivePanel::version() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return version_;
}

std::optional<LivePanel::Update> LivePanel::waitForChange(std::uint64_t seenVersion, std::uint64_t logAfter,
                                                          std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [&] { return version_ > seenVersion; })) return std::nullopt;
  return updateLocked(logAfter);
}

void LivePanel::watch(std::function<void()> changed) {
  // Through the loop, so the watcher is never replaced while it is called.
  (void)onLoop([&]() -> Result<> {
    watcher_ = std::move(changed);
    return Done{};
  });
}

void LivePanel::entry(const SessionEntry& entry) {
  if (console_ != nullptr) console_->entry(entry);
  if (entry.kind == SessionEntry::Kind::Reply && !replies_) return;
  SessionEntry kept{entry.kind, entry.timeMs, cutText(entry.text, kLogTextKept)};
  std::lock_guard<std::mutex> lock(mutex_);
  const std::int64_t wall = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::system_clock::now().time_since_epoch()).count();
  log_.push_back({++logSeq_, std::move(kept), wall});
  if (log_.size() > kLogKept) log_.pop_front();
  // Readers hear of it at the next publish(), with the panel it led to.
}

void LivePanel::catchUp() { session_.advanceTo(elapsedMs()); }

void LivePanel::publish() {
  // Nothing live reads the session's record of commands (expectations are
  // the steps' own): kept, it would grow with every press for as long as
  // the page is worked.
  session_.forgetCommands();
  if (!published_) {
    // The one whole view; from here on only what the session says changed.
    (void)session_.takeChanges();
    SessionView state = viewSession(session_);
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = std::move(state);
    published_ = true;
    publishedLogSeq_ = logSeq_;
    ++version_;
  } else {
    // state_ is written on this thread only: read here without the lock.
    ViewChange change = viewChange(session_, session_.takeChanges(), state_);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!change.empty() || logSeq_ != publishedLogSeq_) {
      applyChange(state_, change);
      publishedLogSeq_ = logSeq_;
      journal_.emplace_back(++version_, std::move(change));
      if (journal_.size() > kChangesKept) journal_.pop_front();
    }
  }
  changed_.notify_all();
  if (watcher_) watcher_();
}

std::int64_t LivePanel::elapsedMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(EventLoop::Clock::now() - start_).count();
}

LivePanel::Changes LivePanel::changesSince(std::uint64_t version, std::uint64_t logAfter) const {
  std::lock_guard<std::mutex> lock(mutex_);
  Changes changes;
  changes.version = version_;
  // The journal reaches back to the version before its first entry.
  const bool reached = version >= version_ || (!journal_.empty() && version + 1 >= journal_.front().first);
  if (!reached) {
    Update update = updateLocked(0);
    changes.whole = std::move(update.state);
    changes.log = std::move(update.log);
    changes.logSeq = update.logSeq;
    return changes;
  }
  std::vector<const ViewChange*> since;
  for (const auto& [at, change] : journal_) {
    if (at > version) since.push_back(&change);
  }
  changes.change = mergeChanges(since);
  if (since.empty()) changes.change.now = state_.now;
  changes.logSeq = std::max(logAfter, logSeq_);
  for (auto line = log_.rbegin(); line != log_.rend() && line->seq > logAfter; ++line) changes.log.push_back(*line);
  std::reverse(changes.log.begin(), changes.log.end());
  return changes;
}

LivePanel::Update LivePanel::updateLocked(std::uint64_t logAfter) const {
  Update update;
  update.version = version_;
  update.state = state_;
  update.logSeq = std::max(logAfter, logSeq_);
  for (const LogLine& line : log_) {
    if (line.seq > logAfter) update.log.push_back(line);
  }
  return update;
}

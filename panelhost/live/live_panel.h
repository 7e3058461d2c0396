// LivePanel: one panel running on the real clock, worked from any thread.
//
// The panel lives on an EventLoop. Creating it, every control event and
// property message, the timer ticks and tallies as they fall due, and
// deleting it all happen on the loop's thread, one at a time, as the panel
// host guarantees; other threads post the work and wait for the result.
// After each of those steps the loop publishes what changed: the session
// says which controls and crosspoints it touched (HostSession::takeChanges),
// only those are viewed (ViewChange), applied to the snapshot of the panel
// (the view model, SessionView) and kept in a short journal, each change a
// new version; the session's entries go to a log. Readers on any thread
// take the latest snapshot, or the changes since a version they have, wait
// for the next change, or have a watcher told of each. A step costs what it
// changed, not the size of the device table.
//
// The log keeps the latest kLogKept entries, each text cut to kLogTextKept
// bytes with a marker saying how long it was, so what the page can make the
// panel say cannot grow the host's memory without bound.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "hostside/result.h"
#include "panelhost/live/event_loop.h"
#include "panelhost/log/session_log.h"
#include "panelhost/session/host_session.h"
#include "panelhost/view/panel_view.h"

class LivePanel : private SessionObserver {
 public:
  static constexpr size_t kLogKept = 2000;
  static constexpr size_t kLogTextKept = 1024;
  // The journal of changes keeps this many versions; a reader further
  // behind gets the whole snapshot instead.
  static constexpr size_t kChangesKept = 64;

  // What a reader gets: the snapshot, its version, and the log entries
  // after the sequence number the reader asked for.
  struct Update {
    std::uint64_t version = 0;
    SessionView state;
    std::vector<LogLine> log;  // oldest first
    std::uint64_t logSeq = 0;  // the last entry's number, or the reader's
  };

  // What a reader at some version gets: the changes since, merged into
  // one, or the whole snapshot when the journal no longer reaches back
  // that far (then `log` is the whole log kept); and the log entries after
  // the sequence number the reader asked for.
  struct Changes {
    std::uint64_t version = 0;
    std::optional<SessionView> whole;
    ViewChange change;
    std::vector<LogLine> log;
    std::uint64_t logSeq = 0;
  };

  // `loader` must stay valid while the LivePanel lives. `console`, when
  // given, sees every entry too, on the loop thread. The log keeps the
  // host's replies only with `replies`, like the transcript.
  LivePanel(vesk_load_function loader, LayoutFolders layoutFolders, Devices devices, SessionObserver* console,
            bool replies);
  // Deletes the panel if it still runs, on the loop thread.
  ~LivePanel() override;
  LivePanel(const LivePanel&) = delete;
  LivePanel& operator=(const LivePanel&) = delete;

  // Creates the panel; why not when the export returned none, or when the
  // layout it showed could not be read (ShownLayouts::fileFault).
  Result<> start();
  // Works `control` of the shown panel with `choice` (a source, a page, or
  // nothing for a button): the message sent (HostSession::press), or why
  // none was: no panel runs, or it shows no such control.
  Result<std::string> press(const std::string& control, const std::string& choice);
  // A property message from an enclosing panel: the panel's answer, if
  // any, or why it was not delivered (no panel runs).
  Result<std::optional<std::string>> property(const std::string& message);
  // The same without waiting: `done` gets the result on the loop thread
  // once the panel has had the event, or at once on the caller's thread
  // when the loop has quit. The texts are copied.
  using PressDone = std::function<void(Result<std::string>)>;
  using PropertyDone = std::function<void(Result<std::optional<std::string>>)>;
  void press(const std::string& control, const std::string& choice, PressDone done);
  // `asker` as HostSession::property takes it.
  void property(const std::string& message, PropertyDone done, const std::string& asker = "");
  // Works the studio from outside the panel (a route made elsewhere, a
  // device's own tally) on the loop thread, then delivers what fell due.
  void inStudio(std::function<void(Studio&)> work);
  // Whether the panel runs, as the latest snapshot says.
  bool running() const;
  // Deletes the panel and ends the loop; nothing reaches the plug-in after.
  // Safe to call more than once.
  void stop();
  // The breaches of the host's rules so far.
  std::vector<std::string> violations();

  // The latest snapshot, with the log after entry `logAfter`.
  Update latest(std::uint64_t logAfter) const;
  // What changed since `version` (merged), with the log after `logAfter`.
  Changes changesSince(std::uint64_t version, std::uint64_t logAfter) const;
  // The latest snapshot's version, without copying it.
  std::uint64_t version() const;
  // Waits up to `timeout` for a snapshot newer than `seenVersion`. Nothing
  // when the time ran out.
  std::optional<Update> waitForChange(std::uint64_t seenVersion, std::uint64_t logAfter,
                                      std::chrono::milliseconds timeout);
  // `changed` is called on the loop thread after each step that may have
  // made a newer snapshot; it must return quickly and not call back into
  // this LivePanel's waiting calls. Empty: none. It is replaced on the loop,
  // so never while it is being called.
  void watch(std::function<void()> changed);

 private:
  void entry(const SessionEntry& entry) override;
  // Runs `f` on the loop thread; once the loop has quit, a failure instead.
  template <typename F>
  auto onLoop(F f) -> std::invoke_result_t<F> {
    try {
      return loop_.call(std::move(f));
    } catch (const std::future_error&) {
      return fail("the panel host is stopping");
    }
  }
  // Loop thread only: brings the session's clock to real time, and makes
  // the snapshot readers see.
  void catchUp();
  void publish();
  Result<std::string> pressNow(const std::string& control, const std::string& choice);
  Result<std::optional<std::string>> propertyNow(const std::string& message, const std::string& asker = "");
  std::int64_t elapsedMs() const;
  Update updateLocked(std::uint64_t logAfter) const;

  SessionObserver* console_;
  bool replies_;
  const EventLoop::Clock::time_point start_;

  mutable std::mutex mutex_;  // guards what readers see, below
  std::condition_variable changed_;
  std::uint64_t version_ = 0;
  bool published_ = false;
  SessionView state_;
  std::deque<std::pair<std::uint64_t, ViewChange>> journal_;  // (version, what it changed), the latest only
  std::deque<LogLine> log_;  // the latest entries only
  std::uint64_t logSeq_ = 0;
  std::uint64_t publishedLogSeq_ = 0;  // the log's last entry at the last version
  std::function<void()> watcher_;  // loop thread only, once started

  HostSession session_;  // loop thread only
  EventLoop loop_;       // last: its thread starts once all above is ready
};

#pragma once
#include "appcore/log_follow.h"
#include "log/log.h"
#include "ui/dialog.h"

namespace kivo::app {

// The log viewer (dialog 256): the log's recent lines, one row each, with
// new lines added every second while it is open.
class LogViewer : public ui::Dialog {
public:
    static constexpr UINT_PTR kRefreshTimer = 1;
    static constexpr UINT kRefreshMs = 1000;
    static constexpr int kColumnWidth = 1216;

    explicit LogViewer(Log& log) : log_(log) {}
    ~LogViewer() override { destroy(); }

    // Adds the lines written since the last refresh.
    void refresh();
    int row_count() const;

protected:
    bool on_init() override;
    void on_timer(UINT_PTR id) override;
    bool on_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    Log& log_;
    LogFollower follower_;
};

}  // namespace kivo::app

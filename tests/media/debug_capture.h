// Captures the library's debug traces (OutputDebugStringA) the way a debug
// monitor does: the DBWIN_BUFFER shared memory and its two events.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ktest {

class DebugCapture {
public:
    DebugCapture() {
        bufferReady_ = CreateEventA(nullptr, FALSE, TRUE, "DBWIN_BUFFER_READY");
        dataReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                      "DBWIN_BUFFER");
        if (mapping_) view_ = static_cast<const char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
        if (bufferReady_ && dataReady_ && view_) {
            // The reader must be running before the library is loaded: a new
            // thread waits for the loader lock that the loading thread holds.
            HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            reader_ = std::thread([this, started] { SetEvent(started); Read(); });
            WaitForSingleObject(started, 5000);
            CloseHandle(started);
        }
    }
    ~DebugCapture() {
        stop_ = true;
        if (reader_.joinable()) {
            SetEvent(dataReady_);
            reader_.join();
        }
        if (view_) UnmapViewOfFile(view_);
        for (HANDLE h : {mapping_, dataReady_, bufferReady_}) if (h) CloseHandle(h);
    }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    bool working() const { return reader_.joinable(); }
    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    // True when some line contains `text`.
    bool Saw(const std::string& text) {
        for (const std::string& line : Lines()) if (line.find(text) != std::string::npos) return true;
        return false;
    }

private:
    void Read() {
        while (WaitForSingleObject(dataReady_, INFINITE) == WAIT_OBJECT_0 && !stop_) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                lines_.emplace_back(view_ + sizeof(DWORD));  // process id, then the text
            }
            SetEvent(bufferReady_);
        }
    }

    HANDLE bufferReady_ = nullptr;
    HANDLE dataReady_ = nullptr;
    HANDLE mapping_ = nullptr;
    const char* view_ = nullptr;
    volatile bool stop_ = false;
    std::thread reader_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace ktest

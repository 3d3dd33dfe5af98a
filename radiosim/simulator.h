// The running radio: reads the line and the control FIFO, answers frames, paces and spoils
// what it sends as told, logs everything, and stops on a signal.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "protocol/frame.h"
#include "radiosim/control_channel.h"
#include "radiosim/control_command.h"
#include "radiosim/event_log.h"
#include "radiosim/faults.h"
#include "radiosim/line_port.h"
#include "radiosim/options.h"
#include "radiosim/outgoing_line.h"
#include "radiosim/radio_memory.h"
#include "radiosim/request_handler.h"

namespace radiosim {

class Simulator {
public:
    Simulator(const Options& options, const RadioMemory& memory);

    // Opens the log, the control FIFO and the port; false with a message in `error`.
    bool Start(std::string& error);
    // Serves until a signal arrives on `signalFd` (a signalfd); returns the exit status.
    int Run(int signalFd);
    // Saves the memory and reports the figures of the run on stderr.
    void Finish();

    const std::string& PortName() const { return m_port.Name(); }

private:
    double Now() const;
    void DrainControl();
    void ApplyControl(const ControlCommand& command, std::string& error);
    bool ReadLine();
    // `arrived`: when the read that brought the byte returned, seconds since the start.
    void TakeByte(uint8_t byte, double arrived);
    void OnFrame(const proto::Frame& frame);
    void OnRejected(proto::DecodeResult reason);
    void SendReply(const proto::Frame& reply, const std::string& verdict);
    bool SendDue();
    void SaveMemory();
    void LogFrame(const char* direction, const proto::Frame& frame, JsonLine& line);

    Options m_options;
    RadioMemory m_memory;
    RequestHandler m_handler;
    FaultInjector m_faults;
    OutgoingLine m_line;
    EventLog m_log;
    std::unique_ptr<ControlChannel> m_control;
    LinePort m_port;
    proto::FrameReader m_reader;
    // The encoded bytes of the chunk being received, for logging a rejected one.
    uint8_t m_chunk[proto::kMaxEncodedFrame] = {};
    size_t m_chunkSize = 0;
    double m_chunkArrived = 0; // when the chunk's first byte arrived
    bool m_waitingForPort = false;
    std::chrono::steady_clock::time_point m_started;
};

} // namespace radiosim

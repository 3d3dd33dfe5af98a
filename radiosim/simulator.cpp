#include "radiosim/simulator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "protocol/messages.h"
#include "radiosim/default_radio.h"
#include "radiosim/image_file.h"

namespace radiosim {

using Clock = std::chrono::steady_clock;

// A real device is paced by its own UART; only a pty needs the simulator to pace the line.
Simulator::Simulator(const Options& options, const RadioMemory& memory)
    : m_options(options), m_memory(memory), m_handler(m_memory), m_faults(options.seed),
      m_line(options.device.empty() ? options.baud : 0), m_started(Clock::now()) {
    m_faults.Settings() = options.faults;
}

double Simulator::Now() const {
    return std::chrono::duration<double>(Clock::now() - m_started).count();
}

bool Simulator::Start(std::string& error) {
    if (!m_options.log.empty() && !m_log.Open(m_options.log, error)) {
        return false;
    }
    if (!m_options.control.empty()) {
        m_control = std::make_unique<ControlChannel>();
        if (!m_control->Create(m_options.control, error)) {
            return false;
        }
    }
    const bool opened = m_options.device.empty()
                            ? m_port.OpenPty(m_options.link, error)
                            : m_port.OpenDevice(m_options.device, m_options.baud, error);
    if (!opened) {
        return false;
    }
    if (!m_options.save.empty()) {
        SaveMemory();
    }
    m_log.Write(JsonLine()
                    .Seconds("t", Now())
                    .Text("dir", "sim")
                    .Text("event", "ready")
                    .Text("port", m_port.Name())
                    .Number("baud", m_options.baud));
    return true;
}

int Simulator::Run(int signalFd) {
    for (;;) {
        pollfd fds[3] = {};
        fds[0] = {signalFd, POLLIN, 0};
        fds[1] = {m_port.fd(), static_cast<short>(POLLIN | (m_waitingForPort ? POLLOUT : 0)), 0};
        fds[2] = {m_control ? m_control->fd() : -1, POLLIN, 0};

        timespec wait{};
        timespec* timeout = nullptr;
        if (!m_line.Empty() && !m_waitingForPort) {
            const auto left = std::max(Clock::duration::zero(), m_line.NextDue() - Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            wait.tv_sec = static_cast<time_t>(ns / 1000000000);
            wait.tv_nsec = static_cast<long>(ns % 1000000000);
            timeout = &wait;
        }
        if (::ppoll(fds, 3, timeout, nullptr) < 0 && errno != EINTR) {
            std::fprintf(stderr, "radiosim: poll failed: %s\n", std::strerror(errno));
            return 1;
        }
        // Control input first, always: a test that writes a control line and then sends a
        // frame (or a stop signal) must see the line applied before the frame is handled.
        DrainControl();
        if (fds[0].revents & POLLIN) {
            signalfd_siginfo info{};
            const ssize_t got = ::read(signalFd, &info, sizeof info);
            m_log.Write(JsonLine()
                            .Seconds("t", Now())
                            .Text("dir", "sim")
                            .Text("event", "signal")
                            .Number("signal", got == sizeof info ? info.ssi_signo : 0));
            return 0;
        }
        if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) && !ReadLine()) {
            return 1;
        }
        if (!SendDue()) {
            return 1;
        }
    }
}

void Simulator::Finish() {
    if (!m_options.save.empty()) {
        SaveMemory();
    }
    m_log.Write(JsonLine()
                    .Seconds("t", Now())
                    .Text("dir", "sim")
                    .Text("event", "exit")
                    .Number("accepted_writes", m_handler.AcceptedWrites())
                    .Number("inconsistent", m_handler.InconsistentStates()));
    std::fprintf(stderr, "radiosim: stopped: %u accepted writes, %u inconsistent states\n",
                 m_handler.AcceptedWrites(), m_handler.InconsistentStates());
}

void Simulator::DrainControl() {
    if (!m_control) {
        return;
    }
    for (const std::string& text : m_control->ReadLines()) {
        ControlCommand command;
        std::string error;
        const ControlParse parse = ParseControlLine(text, command, error);
        if (parse == ControlParse::Blank) {
            continue;
        }
        if (parse == ControlParse::Command) {
            ApplyControl(command, error);
        }
        m_log.Write(JsonLine()
                        .Seconds("t", Now())
                        .Text("dir", "ctl")
                        .Text("line", text)
                        .Text("verdict", error.empty() ? "ok" : "error: " + error));
        if (!error.empty()) {
            std::fprintf(stderr, "radiosim: control: %s\n", error.c_str());
        }
    }
}

void Simulator::ApplyControl(const ControlCommand& command, std::string& error) {
    FaultSettings& faults = m_faults.Settings();
    bool memoryChanged = false;
    switch (command.kind) {
    case ControlCommand::Kind::Silent:
        faults.silent = command.on;
        break;
    case ControlCommand::Kind::Faults:
        faults.drop = command.drop.value_or(faults.drop);
        faults.corrupt = command.corrupt.value_or(faults.corrupt);
        faults.delay = command.delay.value_or(faults.delay);
        faults.delayMs = command.delayMs.value_or(faults.delayMs);
        faults.corruptIn = command.corruptIn.value_or(faults.corruptIn);
        break;
    case ControlCommand::Kind::Mode:
        m_handler.SetProgrammingMode(command.on);
        break;
    case ControlCommand::Kind::Reset:
        m_memory = MakeDefaultRadio();
        m_handler.SetProgrammingMode(false);
        faults = FaultSettings{};
        memoryChanged = true;
        break;
    case ControlCommand::Kind::Load:
        memoryChanged = LoadImage(command.path, m_memory, error);
        break;
    case ControlCommand::Kind::Save:
        SaveImage(command.path, m_memory, error);
        break;
    case ControlCommand::Kind::Poke:
        std::memcpy(m_memory.data() + command.address, command.bytes.data(), command.bytes.size());
        memoryChanged = true;
        break;
    }
    if (memoryChanged) {
        // A frame the host repeats after this must see the new memory, not the old answer.
        m_handler.ForgetLastExchange();
        if (!m_options.save.empty()) {
            SaveMemory();
        }
    }
}

bool Simulator::ReadLine() {
    uint8_t buffer[512];
    const ssize_t got = ::read(m_port.fd(), buffer, sizeof buffer);
    if (got < 0) {
        if (errno == EAGAIN || errno == EINTR) {
            return true;
        }
        std::fprintf(stderr, "radiosim: reading %s failed: %s\n", m_port.Name().c_str(),
                     std::strerror(errno));
        return false;
    }
    if (got == 0) {
        std::fprintf(stderr, "radiosim: %s hung up\n", m_port.Name().c_str());
        return false;
    }
    const double arrived = Now();
    for (ssize_t i = 0; i < got; ++i) {
        TakeByte(buffer[i], arrived);
    }
    return true;
}

void Simulator::TakeByte(uint8_t byte, double arrived) {
    byte = m_faults.Incoming(byte);
    if (byte != 0 && m_chunkSize == 0) {
        m_chunkArrived = arrived;
    }
    if (byte != 0 && m_chunkSize < sizeof m_chunk) {
        m_chunk[m_chunkSize++] = byte;
    }
    proto::Frame frame;
    proto::DecodeResult reason = proto::DecodeResult::Ok;
    switch (m_reader.Push(byte, frame, reason)) {
    case proto::FrameReader::Event::Frame:
        OnFrame(frame);
        break;
    case proto::FrameReader::Event::Rejected:
        OnRejected(reason);
        break;
    case proto::FrameReader::Event::None:
        break;
    }
    if (byte == 0) {
        m_chunkSize = 0;
    }
}

void Simulator::LogFrame(const char* direction, const proto::Frame& frame, JsonLine& line) {
    line.Seconds("t", Now())
        .Text("dir", direction)
        .Text("type", proto::FrameTypeName(frame.type))
        .Number("seq", frame.sequence)
        .Number("addr", frame.address)
        .Hex("bytes", frame.payload, frame.length);
}

void Simulator::OnRejected(proto::DecodeResult reason) {
    // A damaged frame gets no answer: not even its sequence number can be trusted.
    m_log.Write(JsonLine()
                    .Seconds("t", Now())
                    .Text("dir", "in")
                    .Text("type", "damaged")
                    .Hex("bytes", m_chunk, m_chunkSize)
                    .Text("verdict", proto::DecodeResultName(reason))
                    .Seconds("first_t", m_chunkArrived));
}

void Simulator::OnFrame(const proto::Frame& frame) {
    JsonLine in;
    LogFrame("in", frame, in);
    if (m_faults.Settings().silent) {
        m_log.Write(in.Text("verdict", "silent").Seconds("first_t", m_chunkArrived));
        return;
    }
    const HandlerResult result = m_handler.Handle(frame);
    in.Text("verdict", result.repeated ? "repeat" : result.verdict);
    in.Seconds("first_t", m_chunkArrived);
    if (result.stored) {
        in.Bool("record_ok", result.check.recordOk)
            .Bool("vector_ok", result.check.vectorOk)
            .Number("inconsistent", m_handler.InconsistentStates());
    }
    m_log.Write(in);
    if (result.stored && !m_options.save.empty()) {
        SaveMemory();
    }
    SendReply(result.reply, result.verdict);
}

void Simulator::SendReply(const proto::Frame& reply, const std::string& verdict) {
    uint8_t encoded[proto::kMaxEncodedFrame];
    const size_t size = proto::EncodeFrame(reply, encoded, sizeof encoded);
    const FaultedReply faulted = m_faults.Outgoing(encoded, size);
    m_line.Enqueue(faulted.bytes, Clock::now(), std::chrono::milliseconds(faulted.holdMs));

    JsonLine out;
    LogFrame("out", reply, out);
    m_log.Write(out.Text("verdict", verdict)
                    .Number("line_bytes", size)
                    .Number("dropped", faulted.dropped)
                    .Number("corrupted", faulted.corrupted)
                    .Number("held_ms", faulted.holdMs));
}

bool Simulator::SendDue() {
    uint8_t buffer[512];
    for (;;) {
        const size_t due = m_line.PeekDue(Clock::now(), buffer, sizeof buffer);
        if (due == 0) {
            m_waitingForPort = false;
            return true;
        }
        const ssize_t written = ::write(m_port.fd(), buffer, due);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN) {
                // Nobody is draining the other side: wait until the port takes bytes again.
                m_waitingForPort = true;
                return true;
            }
            std::fprintf(stderr, "radiosim: writing %s failed: %s\n", m_port.Name().c_str(),
                         std::strerror(errno));
            return false;
        }
        m_line.Consume(static_cast<size_t>(written));
        if (m_line.Empty()) {
            // The moment the host can have the whole reply: where its turnaround starts.
            m_log.Write(JsonLine().Seconds("t", Now()).Text("dir", "sim").Text("event", "sent"));
        }
    }
}

void Simulator::SaveMemory() {
    std::string error;
    if (!SaveImage(m_options.save, m_memory, error)) {
        std::fprintf(stderr, "radiosim: %s\n", error.c_str());
        m_log.Write(JsonLine()
                        .Seconds("t", Now())
                        .Text("dir", "sim")
                        .Text("event", "save_failed")
                        .Text("error", error));
    }
}

} // namespace radiosim

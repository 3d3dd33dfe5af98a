#include "component/settings/settings_commands.h"

#include <windows.h>

#include "component/settings/frame_log.h"
#include "component/settings/user_settings.h"

namespace radiolink {

namespace {

constexpr char kPortMapUse[] = "\n\nTo map COM1 to COM7: rundll32 radiolink.dll,PortMap COM1=COM7\n"
                               "To remove it: rundll32 radiolink.dll,PortMap COM1=";
constexpr char kNotPortName[] = " is not a port name (1 to 32 letters and digits).";
constexpr char kLinkLogUse[] = "\n\nTo switch the link log: rundll32 radiolink.dll,LinkLog on "
                               "(or off)";

// Text added piece by piece to a message, cut at its end.
class Text {
public:
    explicit Text(Message& message) : m_at(message), m_end(message + kMaxMessage - 1) {
        *m_at = '\0';
    }
    Text& Add(const char* text, size_t most = kMaxMessage) {
        for (; *text && most > 0 && m_at < m_end; --most) {
            *m_at++ = *text++;
        }
        *m_at = '\0';
        return *this;
    }

private:
    char* m_at;
    char* const m_end;
};

// A piece of the command line, without the spaces around it.
struct Piece {
    const char* begin;
    const char* end;

    static Piece Trimmed(const char* text) {
        Piece piece{text, text + lstrlenA(text)};
        while (piece.begin < piece.end && (*piece.begin == ' ' || *piece.begin == '\t')) {
            ++piece.begin;
        }
        while (piece.end > piece.begin && (piece.end[-1] == ' ' || piece.end[-1] == '\t')) {
            --piece.end;
        }
        return piece;
    }
    size_t Size() const { return static_cast<size_t>(end - begin); }
    // Copies the piece into `out` in capitals when it fits; false when it does not.
    template <size_t N>
    bool CopyUpper(char (&out)[N]) const {
        if (Size() >= N) {
            return false;
        }
        lstrcpynA(out, begin, static_cast<int>(Size() + 1));
        CharUpperA(out);
        return true;
    }
    // "piece" in quotes, cut after 40 characters.
    void Quote(Text& text) const {
        text.Add("\"").Add(begin, Size() < 40 ? Size() : 40).Add(Size() > 40 ? "...\"" : "\"");
    }
};

bool Refuse(Text& text, const Piece& piece, const char* why, const char* use) {
    text.Add("Nothing changed: ");
    piece.Quote(text);
    text.Add(why).Add(use);
    return false;
}

bool Stored(Text& text, LSTATUS status, const char* use) {
    if (status != ERROR_SUCCESS) {
        Message why;
        NotStoredMessage(status, why);
        text.Add(why).Add(use);
    }
    return status == ERROR_SUCCESS;
}

void ListPorts(Text& text) {
    PortName from, to;
    text.Add("Port mappings for this user:");
    bool any = false;
    for (DWORD i = 0; PortMappingAt(i, from, to); ++i) {
        if (IsPortName(from) && IsPortName(to)) {
            text.Add("\n").Add(from).Add(" opens ").Add(to);
            any = true;
        }
    }
    text.Add(any ? "" : " none").Add("\n\nSerial ports on this PC:");
    any = false;
    for (DWORD i = 0; SerialPortAt(i, to); ++i) {
        if (*to) {
            text.Add(any ? ", " : " ").Add(to);
            any = true;
        }
    }
    text.Add(any ? "" : " none").Add(kPortMapUse);
}

void LinkLogState(Text& text) {
    char path[MAX_PATH];
    if (!LinkLogOn()) {
        text.Add("The link log is off.");
    } else if (LinkLogPath(path)) {
        text.Add("The link log is on: links opened from now on write their frames to ")
            .Add(path)
            .Add(".");
    } else {
        text.Add("The link log is on, but there is no temporary folder to write it in.");
    }
}

} // namespace

void NotStoredMessage(long status, Message& message) {
    wsprintfA(message, "Nothing changed: the setting could not be stored (error %ld).", status);
}

bool PortMapCommand(const char* commandLine, Message& message) {
    Text text(message);
    const Piece all = Piece::Trimmed(commandLine ? commandLine : "");
    if (all.Size() == 0) {
        ListPorts(text);
        return true;
    }
    const char* equals = all.begin;
    while (equals < all.end && *equals != '=') {
        ++equals;
    }
    if (equals == all.end) {
        return Refuse(text, all, " is not NAME=NAME or NAME=.", kPortMapUse);
    }
    const Piece fromPiece{all.begin, equals}, toPiece{equals + 1, all.end};
    PortName from, to;
    if (!fromPiece.CopyUpper(from) || !IsPortName(from)) {
        return Refuse(text, fromPiece, kNotPortName, kPortMapUse);
    }
    if (!toPiece.CopyUpper(to) || (*to && !IsPortName(to))) {
        return Refuse(text, toPiece, kNotPortName, kPortMapUse);
    }
    if (!Stored(text, SetPortMapping(from, to), kPortMapUse)) {
        return false;
    }
    text.Add(from).Add(" now opens ").Add(*to ? to : from).Add(*to ? "." : " (no mapping).");
    return true;
}

bool LinkLogCommand(const char* commandLine, Message& message) {
    Text text(message);
    const Piece word = Piece::Trimmed(commandLine ? commandLine : "");
    char upper[4] = "";
    const bool on = word.CopyUpper(upper) && lstrcmpA(upper, "ON") == 0;
    if (word.Size() > 0 && !on && lstrcmpA(upper, "OFF") != 0) {
        return Refuse(text, word, " is not on or off.", kLinkLogUse);
    }
    if (word.Size() > 0 && !Stored(text, SetLinkLog(on), kLinkLogUse)) {
        return false;
    }
    LinkLogState(text);
    return true;
}

} // namespace radiolink

// Drives the windows of a running program from outside, for the end-to-end tests.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "system/win32/Handles.h"

namespace {

const wchar_t kUsage[] =
    L"usage: SetupDriver <command> [arguments]\n"
    L"\n"
    L"  run [--all] <program> [arguments]\n"
    L"                              runs the program (from the current folder) on a\n"
    L"                              virtual desktop of 1024x768 made for this run and\n"
    L"                              named by SETUP_DESKTOP; prints \"started\", then\n"
    L"                              \"shown <class> <caption>\" whenever a window\n"
    L"                              becomes visible; exits with the program's exit code.\n"
    L"                              With --all it goes on until the processes that the\n"
    L"                              program started, and theirs, have ended too.\n"
    L"                              Ending this process ends the program and its desktop.\n"
    L"  wait-window <class> <caption> [timeout-ms]\n"
    L"                              waits for a visible top-level window, prints its handle\n"
    L"  wait-closed <class> <caption> [timeout-ms]\n"
    L"                              waits until no such window is visible\n"
    L"  message [timeout-ms]        waits for a message box and prints\n"
    L"                              \"caption: C\", \"buttons: OK Cancel Yes No\" (those it\n"
    L"                              has), \"icon: yes|none\", \"text:\", then its text\n"
    L"  answer OK|Cancel|Yes|No [timeout-ms]\n"
    L"                              clicks that button of the message box, waits until\n"
    L"                              the box has closed\n"
    L"  click <class> <caption> <control>\n"
    L"                              clicks a button\n"
    L"  key <class> <caption> <key>...\n"
    L"                              brings the window to the front and presses keys:\n"
    L"                              Enter Esc Tab Space Up Down Left Right Home End\n"
    L"                              PageUp PageDown Backspace Delete F1-F12 A-Z 0-9 or\n"
    L"                              0xNN, each maybe after Shift+ Ctrl+ Alt+\n"
    L"  type <class> <caption> <control> <text>\n"
    L"                              puts the focus into an edit field and sets its text\n"
    L"  mouse <class> <caption> move|click <x> <y>\n"
    L"                              moves the mouse to, or clicks the left button at,\n"
    L"                              a point of the window's client area\n"
    L"  text <class> <caption> [control]\n"
    L"                              prints the text of a window or of a control\n"
    L"  taskbar                     prints the windows that the task bar lists, \"<class>\n"
    L"                              <caption>\" each: shown, and unowned and no tool\n"
    L"                              window, or marked as an application's window\n"
    L"  list [<class> <caption>]    prints the visible top-level windows (handle, class,\n"
    L"                              \"caption\", window x y w h, client x y w h, on screen,\n"
    L"                              \"foreground\" for the one in front),\n"
    L"                              or the controls of one window (handle, #id, class,\n"
    L"                              \"text\", x y w h in its client area)\n"
    L"  paint                       paints what is pending in the visible windows\n"
    L"\n"
    L"With SETUP_DRIVER_CLOCK set, 'run' adds \" at <ms>\" to each line it prints,\n"
    L"'click' and 'answer' print \"at <ms>\" when they have clicked and 'message'\n"
    L"ends with \"at: <ms>\", the moment it found the box: milliseconds of the\n"
    L"system's monotonic clock, which every process shares, for timing a program.\n"
    L"<class> and <caption> match exactly, * matches any; the topmost match counts.\n"
    L"A top-level window without area shows nothing and counts as not visible.\n"
    L"<control> is #id (decimal or 0x hex) or the control's text; for 'type' a text\n"
    L"names the label beside the field. Windows and controls are waited for (30000 ms\n"
    L"times SETUP_TIME_FACTOR unless given); waiting stops early when the run has ended.\n"
    L"Output is UTF-8 (UTF-16 to a console). Exit code 0 on success, 1 on a failure\n"
    L"(with a message on stderr), 2 on bad usage.\n";

// SETUP_TIME_FACTOR (1 to 100) stretches the driver's own waits on a slow machine, such
// as an emulated one.
DWORD TimeFactor() {
    wchar_t text[8];
    const DWORD length = GetEnvironmentVariableW(L"SETUP_TIME_FACTOR", text, 8);
    const long factor = length > 0 && length < 8 ? std::wcstol(text, nullptr, 10) : 1;
    return factor >= 1 && factor <= 100 ? DWORD(factor) : 1;
}
const DWORD kTimeFactor = TimeFactor();
const DWORD kDefaultTimeoutMs = 30000 * kTimeFactor;
const DWORD kSendTimeoutMs = 5000 * kTimeFactor;
const DWORD kPollMs = 25;
const wchar_t kDesktopSize[] = L"1024x768";
const int kMessageTextId = 0xFFFF;

using Args = std::vector<std::wstring>;

// ---- Output and arguments

std::string ToUtf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

// UTF-8 for pipes and files, which the test scripts read; a console gets UTF-16.
void Write(DWORD stream, const std::wstring& text) {
    HANDLE out = GetStdHandle(stream);
    DWORD mode = 0, done = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, text.data(), DWORD(text.size()), &done, nullptr);
        return;
    }
    std::string bytes = ToUtf8(text);
    WriteFile(out, bytes.data(), DWORD(bytes.size()), &done, nullptr);
}

void Print(const std::wstring& text) {
    Write(STD_OUTPUT_HANDLE, text);
}

int Fail(const std::wstring& text) {
    Write(STD_ERROR_HANDLE, L"SetupDriver: " + text + L"\n");
    return 1;
}

// " at <ms>" when SETUP_DRIVER_CLOCK is set, else nothing.
std::wstring Clock() {
    if (!GetEnvironmentVariableW(L"SETUP_DRIVER_CLOCK", nullptr, 0))
        return L"";
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    wchar_t text[32];
    swprintf(text, 32, L" at %.1f", double(now.QuadPart) * 1000.0 / double(frequency.QuadPart));
    return text;
}

int Usage() {
    Write(STD_ERROR_HANDLE, kUsage);
    return 2;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The C runtime's argv holds the ANSI code page, so Japanese arguments come from the
// wide command line, split by the usual rules: quotes group, and backslashes escape
// only a quote.
Args CommandLineArguments() {
    const wchar_t* p = GetCommandLineW();
    bool quoted = false;
    for (; *p && (quoted || !IsBlank(*p)); ++p) {
        if (*p == L'"')
            quoted = !quoted;
    }
    Args args;
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (!*p)
            return args;
        std::wstring arg;
        quoted = false;
        while (*p && (quoted || !IsBlank(*p))) {
            size_t slashes = 0;
            for (; *p == L'\\'; ++p) ++slashes;
            if (*p == L'"') {
                arg.append(slashes / 2, L'\\');
                if (slashes % 2)
                    arg += L'"';
                else
                    quoted = !quoted;
                ++p;
            } else {
                arg.append(slashes, L'\\');
                if (slashes == 0)
                    arg += *p++;
            }
        }
        args.push_back(arg);
    }
}

// The reverse of the splitting above, for the program's command line.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring quoted = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        quoted += c;
    }
    return quoted + std::wstring(slashes * 2, L'\\') + L"\"";
}

bool ParseNumber(const std::wstring& text, DWORD* value) {
    wchar_t* end = nullptr;
    *value = wcstoul(text.c_str(), &end, 0);
    return !text.empty() && *end == 0;
}

DWORD TimeoutArgument(const Args& args, size_t index) {
    DWORD timeout = kDefaultTimeoutMs;
    if (args.size() > index && !ParseNumber(args[index], &timeout))
        timeout = kDefaultTimeoutMs;
    return timeout;
}

std::wstring Hex(HWND hwnd) {
    wchar_t buffer[16];
    swprintf(buffer, 16, L"0x%08lX", static_cast<unsigned long>(UINT_PTR(hwnd)));
    return buffer;
}

std::wstring Box(const RECT& rect) {
    return std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
           std::to_wstring(rect.right - rect.left) + L" " + std::to_wstring(rect.bottom - rect.top);
}

// ---- Windows and controls

std::wstring DesktopName() {
    wchar_t name[256] = L"";
    GetEnvironmentVariableW(L"SETUP_DESKTOP", name, 256);
    return name;
}

// The run's job carries the desktop's name; it is gone once the run has ended.
bool RunEnded() {
    if (DesktopName().empty())
        return false;
    KernelHandle job(OpenJobObjectW(JOB_OBJECT_QUERY, FALSE, DesktopName().c_str()));
    return !job;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[256] = L"";
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

bool IsClass(HWND hwnd, const wchar_t* name) {
    return lstrcmpiW(ClassOf(hwnd).c_str(), name) == 0;
}

// The text the system keeps for a window; never waits for a busy program.
std::wstring TitleOf(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(hwnd, text.data(), length + 1));
    return text;
}

// What the control itself answers: an edit field's text lives only there.
std::wstring ControlText(HWND hwnd) {
    DWORD_PTR length = 0, copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length))
        return TitleOf(hwnd);
    std::wstring text(length + 1, L'\0');
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, LPARAM(text.data()), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

BOOL CALLBACK AddWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

// Visible top-level windows of this thread's desktop, topmost first. A window without
// area shows nothing (a program's own window that only carries its task-bar button).
std::vector<HWND> TopWindows() {
    std::vector<HWND> windows, visible;
    EnumDesktopWindows(GetThreadDesktop(GetCurrentThreadId()), AddWindow, LPARAM(&windows));
    for (HWND hwnd : windows) {
        RECT rect;
        if (IsWindowVisible(hwnd) && GetWindowRect(hwnd, &rect) && !IsRectEmpty(&rect))
            visible.push_back(hwnd);
    }
    return visible;
}

std::vector<HWND> Controls(HWND top) {
    std::vector<HWND> controls;
    EnumChildWindows(top, AddWindow, LPARAM(&controls));
    return controls;
}

bool Matches(const std::wstring& pattern, const std::wstring& value) {
    return pattern == L"*" || pattern == value;
}

HWND FindTop(const std::wstring& cls, const std::wstring& caption) {
    for (HWND hwnd : TopWindows()) {
        if (Matches(cls, ClassOf(hwnd)) && Matches(caption, TitleOf(hwnd)))
            return hwnd;
    }
    return nullptr;
}

HWND FindMessageBox() {
    for (HWND hwnd : TopWindows()) {
        HWND text = GetDlgItem(hwnd, kMessageTextId);
        if (ClassOf(hwnd) == L"#32770" && text && IsClass(text, L"Static"))
            return hwnd;
    }
    return nullptr;
}

std::wstring WithoutAmpersands(std::wstring text) {
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

// "#12", "#0x0C" or the control's text (the "&" of a mnemonic may be left out).
HWND FindControl(HWND top, const std::wstring& what) {
    DWORD id = 0;
    bool byId = what.size() > 1 && what[0] == L'#' && ParseNumber(what.substr(1), &id);
    for (HWND control : Controls(top)) {
        if (byId ? DWORD(GetDlgCtrlID(control)) == id
                 : TitleOf(control) == what || WithoutAmpersands(TitleOf(control)) == what)
            return control;
    }
    return nullptr;
}

long Distance(const RECT& a, const RECT& b) {
    long dx = std::max({0L, b.left - a.right, a.left - b.right});
    long dy = std::max({0L, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

// An edit field by #id, or the one nearest to the label with that text.
HWND FindEdit(HWND top, const std::wstring& what) {
    HWND found = FindControl(top, what);
    if (!found || IsClass(found, L"Edit"))
        return found;
    RECT label, rect;
    GetWindowRect(found, &label);
    HWND nearest = nullptr;
    long best = 0;
    for (HWND control : Controls(top)) {
        if (GetParent(control) != GetParent(found) || !IsClass(control, L"Edit"))
            continue;
        GetWindowRect(control, &rect);
        if (!nearest || Distance(label, rect) < best) {
            nearest = control;
            best = Distance(label, rect);
        }
    }
    return nearest;
}

bool IsUsable(HWND control) {
    return IsWindowVisible(control) && IsWindowEnabled(control);
}

// ---- Waiting

// Polls until find() gives a window, the time is up or the run has ended.
template <class Find>
HWND WaitFor(DWORD timeoutMs, Find find) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND hwnd = find())
            return hwnd;
        if (GetTickCount() - start >= timeoutMs || RunEnded())
            return nullptr;
        Sleep(kPollMs);
    }
}

int WaitFailed(const std::wstring& what) {
    return Fail((RunEnded() ? L"the program ended before " : L"timed out waiting for ") + what);
}

std::wstring Describe(const std::wstring& cls, const std::wstring& caption) {
    return L"a window of class \"" + cls + L"\" with caption \"" + caption + L"\"";
}

struct Target {
    HWND top = nullptr;
    HWND control = nullptr;
};

enum class ControlKind { None, Any, Edit };

// The window, and the usable control in it when one is named, waited for together.
bool FindTarget(const Args& args, ControlKind kind, Target* target) {
    const std::wstring& cls = args[1];
    const std::wstring& caption = args[2];
    bool found = WaitFor(kDefaultTimeoutMs, [&]() -> HWND {
        target->top = FindTop(cls, caption);
        if (!target->top || kind == ControlKind::None)
            return target->top;
        target->control = kind == ControlKind::Edit ? FindEdit(target->top, args[3])
                                                    : FindControl(target->top, args[3]);
        return target->control && IsUsable(target->control) ? target->control : nullptr;
    });
    if (found)
        return true;
    if (!target->top)
        WaitFailed(Describe(cls, caption));
    else
        WaitFailed(L"a usable control \"" + args[3] + L"\" in " + Describe(cls, caption));
    return false;
}

// ---- Input, as a user gives it: to the window in front

bool BringToFront(HWND top) {
    SetForegroundWindow(top);
    if (WaitFor(kSendTimeoutMs, [&] { return GetForegroundWindow() == top ? top : nullptr; }))
        return true;
    Fail(L"could not bring the window " + Hex(top) + L" to the front");
    return false;
}

struct KeyName {
    const wchar_t* name;
    WORD vk;
};
const KeyName kKeys[] = {
    {L"Enter", VK_RETURN},   {L"Esc", VK_ESCAPE},    {L"Tab", VK_TAB},      {L"Space", VK_SPACE},
    {L"Up", VK_UP},          {L"Down", VK_DOWN},     {L"Left", VK_LEFT},    {L"Right", VK_RIGHT},
    {L"Home", VK_HOME},      {L"End", VK_END},       {L"PageUp", VK_PRIOR}, {L"PageDown", VK_NEXT},
    {L"Backspace", VK_BACK}, {L"Delete", VK_DELETE}, {L"Shift", VK_SHIFT},  {L"Ctrl", VK_CONTROL},
    {L"Alt", VK_MENU},
};

bool ParseKey(const std::wstring& name, WORD* vk) {
    for (const KeyName& key : kKeys) {
        if (lstrcmpiW(name.c_str(), key.name) == 0) {
            *vk = key.vk;
            return true;
        }
    }
    DWORD value = 0;
    if (name.size() == 1 && iswalnum(name[0]) && name[0] < 0x80)
        *vk = WORD(towupper(name[0]));
    else if (name.size() > 1 && towupper(name[0]) == L'F' && ParseNumber(name.substr(1), &value) &&
             value >= 1 && value <= 12)
        *vk = WORD(VK_F1 + value - 1);
    else if (name.rfind(L"0x", 0) == 0 && ParseNumber(name, &value) && value > 0 && value < 256)
        *vk = WORD(value);
    else
        return false;
    return true;
}

// "Shift+Tab" gives Shift and Tab, pressed in that order and released the other way.
bool ParseChord(std::wstring text, std::vector<WORD>* keys) {
    for (size_t plus; (plus = text.find(L'+', 1)) != std::wstring::npos; text.erase(0, plus + 1)) {
        keys->push_back(0);
        if (!ParseKey(text.substr(0, plus), &keys->back()))
            return false;
    }
    keys->push_back(0);
    return ParseKey(text, &keys->back());
}

void SendKey(WORD vk, bool up) {
    const bool extended = vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT ||
                          vk == VK_HOME || vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT ||
                          vk == VK_DELETE;
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &input, sizeof input);
}

void SendMouseButton(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// ---- Commands

int WaitWindow(const Args& args) {
    HWND hwnd = WaitFor(TimeoutArgument(args, 3), [&] { return FindTop(args[1], args[2]); });
    if (!hwnd)
        return WaitFailed(Describe(args[1], args[2]));
    Print(Hex(hwnd) + L"\n");
    return 0;
}

int WaitClosed(const Args& args) {
    HWND open = nullptr;
    auto closed = [&]() -> HWND {
        open = FindTop(args[1], args[2]);
        // Any window that is not null tells WaitFor the condition holds (HWND_TOP is null).
        return open ? nullptr : GetDesktopWindow();
    };
    if (!WaitFor(TimeoutArgument(args, 3), closed))
        return Fail(L"timed out waiting for " + Describe(args[1], args[2]) + L" to close");
    return 0;
}

struct ButtonName {
    const wchar_t* name;
    int id;
};
const ButtonName kButtons[] = {
    {L"OK", IDOK}, {L"Cancel", IDCANCEL}, {L"Yes", IDYES}, {L"No", IDNO}};

int Message(const Args& args) {
    HWND box = WaitFor(TimeoutArgument(args, 1), FindMessageBox);
    if (!box)
        return WaitFailed(L"a message box");
    const std::wstring found = Clock();
    std::wstring buttons;
    for (const ButtonName& button : kButtons) {
        HWND control = GetDlgItem(box, button.id);
        if (control && IsWindowVisible(control))
            buttons += (buttons.empty() ? L"" : L" ") + std::wstring(button.name);
    }
    // Wine keeps an empty icon control in a box without an icon.
    bool icon = false;
    for (HWND control : Controls(box)) {
        DWORD_PTR image = 0;
        if (IsWindowVisible(control) &&
            (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                &image))
            icon = icon || image;
    }
    Print(L"caption: " + TitleOf(box) + L"\nbuttons: " + buttons + L"\nicon: " +
          (icon ? L"yes" : L"none") + L"\ntext:\n" + TitleOf(GetDlgItem(box, kMessageTextId)) +
          L"\n" + (found.empty() ? L"" : L"at:" + found + L"\n"));
    return 0;
}

int Answer(const Args& args) {
    const ButtonName* button = nullptr;
    for (const ButtonName& known : kButtons) {
        if (lstrcmpiW(args[1].c_str(), known.name) == 0)
            button = &known;
    }
    if (!button)
        return Usage();
    DWORD timeout = TimeoutArgument(args, 2);
    HWND box = WaitFor(timeout, FindMessageBox);
    if (!box)
        return WaitFailed(L"a message box to answer " + args[1]);
    HWND control = GetDlgItem(box, button->id);
    if (!control || !IsUsable(control))
        return Fail(L"the message box \"" + TitleOf(box) + L"\" has no button " + args[1]);
    // Posted, not sent: what the answer starts may run for long or show the next box.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button->id, BN_CLICKED), LPARAM(control));
    const std::wstring clicked = Clock();
    if (!WaitFor(timeout, [&] { return IsWindow(box) && IsWindowVisible(box) ? nullptr : box; }))
        return Fail(L"the message box did not close after " + args[1]);
    if (!clicked.empty())
        Print(clicked.substr(1) + L"\n");
    return 0;
}

int Click(const Args& args) {
    Target target;
    if (!FindTarget(args, ControlKind::Any, &target))
        return 1;
    PostMessageW(target.control, BM_CLICK, 0, 0);
    const std::wstring clicked = Clock();
    if (!clicked.empty())
        Print(clicked.substr(1) + L"\n");
    return 0;
}

int Key(const Args& args) {
    std::vector<std::vector<WORD>> chords(args.size() - 3);
    for (size_t i = 3; i < args.size(); ++i) {
        if (!ParseChord(args[i], &chords[i - 3]))
            return Usage();
    }
    Target target;
    if (!FindTarget(args, ControlKind::None, &target) || !BringToFront(target.top))
        return 1;
    for (const std::vector<WORD>& keys : chords) {
        for (WORD vk : keys) SendKey(vk, false);
        for (auto vk = keys.rbegin(); vk != keys.rend(); ++vk) SendKey(*vk, true);
    }
    return 0;
}

int Type(const Args& args) {
    Target target;
    if (!FindTarget(args, ControlKind::Edit, &target) || !BringToFront(target.top))
        return 1;
    // The focus moves into the field, as a click into it would move it.
    DWORD thread = GetWindowThreadProcessId(target.control, nullptr);
    AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
    SetFocus(target.control);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    const std::wstring& text = args[4];
    DWORD_PTR result = 0;
    SendMessageTimeoutW(target.control, WM_SETTEXT, 0, LPARAM(text.c_str()), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &result);
    SendMessageTimeoutW(target.control, EM_SETSEL, text.size(), text.size(), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &result);
    std::wstring now = ControlText(target.control);
    if (now != text)
        return Fail(L"the field holds \"" + now + L"\" instead of \"" + text + L"\"");
    return 0;
}

int Mouse(const Args& args) {
    DWORD x = 0, y = 0;
    const bool click = args[3] == L"click";
    if ((!click && args[3] != L"move") || !ParseNumber(args[4], &x) || !ParseNumber(args[5], &y))
        return Usage();
    Target target;
    if (!FindTarget(args, ControlKind::None, &target) || (click && !BringToFront(target.top)))
        return 1;
    POINT point = {LONG(x), LONG(y)};
    ClientToScreen(target.top, &point);
    // Moving the cursor queues the mouse move the window sees.
    SetCursorPos(point.x, point.y);
    if (click) {
        SendMouseButton(MOUSEEVENTF_LEFTDOWN);
        SendMouseButton(MOUSEEVENTF_LEFTUP);
    }
    return 0;
}

int Text(const Args& args) {
    Target target;
    if (!FindTarget(args, args.size() > 3 ? ControlKind::Any : ControlKind::None, &target))
        return 1;
    Print((target.control ? ControlText(target.control) : TitleOf(target.top)) + L"\n");
    return 0;
}

int Taskbar(const Args&) {
    std::vector<HWND> windows;
    EnumDesktopWindows(GetThreadDesktop(GetCurrentThreadId()), AddWindow, LPARAM(&windows));
    for (HWND hwnd : windows) {
        const LONG exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
        const bool listed =
            (GetWindow(hwnd, GW_OWNER) == nullptr && (exStyle & WS_EX_TOOLWINDOW) == 0) ||
            (exStyle & WS_EX_APPWINDOW) != 0;
        if (IsWindowVisible(hwnd) && listed)
            Print(ClassOf(hwnd) + L" " + TitleOf(hwnd) + L"\n");
    }
    return 0;
}

// What is still to be painted in the desktop's windows is painted now, each window in
// its own thread, before this returns: a screenshot then shows what the windows hold,
// however slowly the programs get their turn.
int Paint(const Args&) {
    for (HWND hwnd : TopWindows()) {
        DWORD_PTR result;
        SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    return 0;
}

int List(const Args& args) {
    if (args.size() == 1) {
        for (HWND hwnd : TopWindows()) {
            RECT window, client;
            GetWindowRect(hwnd, &window);
            GetClientRect(hwnd, &client);
            MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
            Print(Hex(hwnd) + L" " + ClassOf(hwnd) + L" \"" + TitleOf(hwnd) + L"\" window " +
                  Box(window) + L" client " + Box(client) +
                  (hwnd == GetForegroundWindow() ? L" foreground" : L"") + L"\n");
        }
        return 0;
    }
    if (args.size() != 3)
        return Usage();
    Target target;
    if (!FindTarget(args, ControlKind::None, &target))
        return 1;
    for (HWND control : Controls(target.top)) {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, target.top, reinterpret_cast<POINT*>(&rect), 2);
        std::wstring text = IsClass(control, L"Edit") ? ControlText(control) : TitleOf(control);
        Print(Hex(control) + L" #" + std::to_wstring(GetDlgCtrlID(control)) + L" " +
              ClassOf(control) + L" \"" + text + L"\" " + Box(rect) +
              (IsWindowVisible(control) ? L"" : L" hidden") +
              (IsWindowEnabled(control) ? L"" : L" disabled") + L"\n");
    }
    return 0;
}

// ---- run

// Starts a process into the job, before it can start any of its own.
bool Start(const std::wstring& application, std::wstring commandLine, const std::wstring& desktop,
           HANDLE job, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop.empty() ? nullptr : const_cast<wchar_t*>(desktop.c_str());
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, nullptr, &startup, process))
        return false;
    AssignProcessToJobObject(job, process->hProcess);
    ResumeThread(process->hThread);
    CloseHandle(process->hThread);
    return true;
}

// Prints the windows that have become visible since the last call, but explorer's.
void PrintShownWindows(DWORD explorer, std::vector<HWND>* visible) {
    std::vector<HWND> now = TopWindows();
    for (HWND hwnd : now) {
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        if (process != explorer &&
            std::find(visible->begin(), visible->end(), hwnd) == visible->end())
            Print(L"shown " + ClassOf(hwnd) + L" " + TitleOf(hwnd) + Clock() + L"\n");
    }
    *visible = now;
}

// Wine's explorer makes the desktop and its window; it is ready once it waits for input.
bool StartDesktop(const std::wstring& desktop, HANDLE job, DWORD* explorer) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    PROCESS_INFORMATION process = {};
    if (!Start(std::wstring(system) + L"\\explorer.exe",
               L"explorer.exe /desktop=" + desktop + L"," + kDesktopSize, L"", job, &process))
        return false;
    KernelHandle owned(process.hProcess);
    *explorer = process.dwProcessId;
    return WaitForInputIdle(process.hProcess, kDefaultTimeoutMs) == 0;
}

// The processes of the job that are still running.
DWORD ActiveProcesses(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                   sizeof accounting, nullptr))
        return 0;
    return accounting.ActiveProcesses;
}

// Each run gets a virtual desktop of a known size of its own, apart from other runs and
// from whatever else uses the display. Its explorer and the program share one job that
// ends when this process ends, however it ends.
int Run(const Args& given) {
    Args args = given;
    const bool all = args.size() > 2 && args[1] == L"--all";
    if (all)
        args.erase(args.begin() + 1);
    const std::wstring desktop = DesktopName();
    KernelHandle job(CreateJobObjectW(nullptr, desktop.empty() ? nullptr : desktop.c_str()));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation,
                                               &limits, sizeof limits))
        return Fail(L"cannot make a job for the run");

    DWORD explorer = 0;
    if (!desktop.empty() && !StartDesktop(desktop, job.Get(), &explorer))
        return Fail(L"cannot start the desktop " + desktop);
    DesktopHandle attached(desktop.empty() ? nullptr
                                          : OpenDesktopW(desktop.c_str(), 0, FALSE, GENERIC_ALL));
    if (!desktop.empty() && (!attached || !SetThreadDesktop(attached.Get())))
        return Fail(L"the desktop " + desktop + L" did not come up");

    // From the current folder, never the one beside this driver.
    wchar_t path[MAX_PATH];
    if (!GetFullPathNameW(args[1].c_str(), MAX_PATH, path, nullptr))
        return Usage();
    std::wstring commandLine = Quoted(path);
    for (size_t i = 2; i < args.size(); ++i) commandLine += L" " + Quoted(args[i]);
    PROCESS_INFORMATION program = {};
    if (!Start(path, commandLine, desktop, job.Get(), &program))
        return Fail(L"cannot start " + std::wstring(path));
    KernelHandle process(program.hProcess);
    Print(L"started" + Clock() + L"\n");

    std::vector<HWND> visible;
    do {
        PrintShownWindows(explorer, &visible);
    } while (WaitForSingleObject(process.Get(), kPollMs) == WAIT_TIMEOUT);
    // What the program started stays in the run's job; the desktop's explorer is there too.
    while (all && ActiveProcesses(job.Get()) > (explorer ? 1u : 0u)) {
        PrintShownWindows(explorer, &visible);
        Sleep(kPollMs);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return int(code);
}

struct Command {
    const wchar_t* name;
    size_t minArgs, maxArgs;
    int (*run)(const Args&);
};
const Command kCommands[] = {
    {L"run", 1, 99, Run},
    {L"wait-window", 2, 3, WaitWindow},
    {L"wait-closed", 2, 3, WaitClosed},
    {L"message", 0, 1, Message},
    {L"answer", 1, 2, Answer},
    {L"click", 3, 3, Click},
    {L"key", 3, 99, Key},
    {L"type", 4, 4, Type},
    {L"mouse", 5, 5, Mouse},
    {L"text", 2, 3, Text},
    {L"list", 0, 2, List},
    {L"taskbar", 0, 0, Taskbar},
    {L"paint", 0, 0, Paint},
};

int Dispatch(const Command& command, const Args& args) {
    if (command.run == Run || DesktopName().empty())
        return command.run(args);
    DesktopHandle desktop(OpenDesktopW(DesktopName().c_str(), 0, FALSE, GENERIC_ALL));
    if (!desktop) {
        // The run has ended and its desktop with every window on it.
        if (command.run == WaitClosed || (command.run == List && args.size() == 1))
            return 0;
        return Fail(L"no desktop " + DesktopName() + L": the run has not started or has ended");
    }
    if (!SetThreadDesktop(desktop.Get()))
        return Fail(L"cannot use the desktop " + DesktopName());
    return command.run(args);
}

}  // namespace

int main() {
    Args args = CommandLineArguments();
    for (const Command& command : kCommands) {
        if (!args.empty() && args[0] == command.name && args.size() - 1 >= command.minArgs &&
            args.size() - 1 <= command.maxArgs)
            return Dispatch(command, args);
    }
    return Usage();
}

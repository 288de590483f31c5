#pragma once

// The numeric ids of the windows, each named here once: the commands of the menus, the toolbar
// and the buttons; the controls and windows, whose object name is their id as text ("1003");
// the toolbar images (resources/toolbar/<id>.svg); the window timers.

// What onCommand runs. A button that runs a command has that command's id as its object name.
enum class CommandId : int {
    Exit = 1,
    Connect = 105,
    MarkAll = 502,
    MarkNone = 503,
    InvertMarks = 504,
    Enter = 1007, // the hidden default button: connect or test, by where the focus has been
    View = 1009,
    Forward = 1010,
    Delete = 1011,
    Settings = 1040,
    About = 1046,
    Tele2 = 1047,
    MarkMenu = 1054,
    Reset = 1058,   // "Nollställ"
    Restore = 1099, // "Återställ"
    TestAddress = 1104,
    QuickSend = 1105,
    NewMessage = 32782,
    Reply = 32783,
    MarkByNumber = 32795,
    MarkBySize = 32796,
    MarkBySender = 32797,
    MarkBySubject = 32798,
};

enum class ControlId : int {
    // The buttons every dialog shares.
    Ok = 1,
    Cancel = 2,

    // Windows and menus.
    AboutDlg = 100,
    ContentDlg = 129,
    ForwardDlg = 131,
    ComposeDlg = 145,
    MenuBar = 172,
    ViewMenu = 208, // the list's pop-up menu with marked rows
    MarkNumberDlg = 209,
    MarkSizeDlg = 210,
    MarkSenderDlg = 211,
    MarkSubjectDlg = 212,
    MarkMenu = 214, // the list's pop-up menu without marked rows
    ToolBar = 501,

    // The main window.
    ServerEdit = 1003,
    AccountEdit = 1004,
    PasswordEdit = 1005,
    MessageList = 1030,
    Tele2Box = 1047,
    QuickFromEdit = 1101,
    QuickTextEdit = 1102,
    QuickToEdit = 1103,
    VersionLabel = 1107,
    StatusLine = 1108,

    // "Inställningar".
    PortEdit = 1034,
    LinesEdit = 1036,
    HeloEdit = 1041,
    SmtpServerEdit = 1042,
    SmtpPortEdit = 1043,
    AddressEdit = 1092,
    QuickLoginEdit = 1100,
    TimeoutEdit = 1101,
    DnsEdit = 1110,

    // "Nytt brev".
    BodyEdit = 1081,
    FromEdit = 1082,
    ToEdit = 1083,
    SubjectEdit = 1084,
    DirectBox = 1114,

    // "Forward", "Innehåll", "Om Maroket", "Arbetar...".
    ForwardAddressEdit = 1044,
    DeleteAfterBox = 1045,
    ContentText = 1026,
    CreditsText = 1098,
    AboutIcon = 1109,
    WebLink = 1112,
    MailLink = 1113,
    ProgressBar = 1059,

    // "Markera".
    MarkSenderEdit = 1055,
    MarkSubjectEdit = 1073,
    MarkLastEdit = 1094,
    MarkUnitList = 1095,
    MarkAmountEdit = 1096,
    MarkFirstEdit = 1097,
};

// The toolbar's images.
enum class ImageId : int {
    NewMessage = 146,
    About = 178,
    InvertMarks = 195,
    MarkNone = 196,
    MarkAll = 197,
    MarkMenu = 198,
    Connect = 201,
    View = 202,
    Forward = 203,
    Settings = 204,
    Reply = 206,
    Delete = 207,
};

enum class TimerId : int {
    KeepAlive = 30,    // the main window's NOOP and idle check
    BusyRetry = 31,    // the main window's next login after a busy account
    ProgressTick = 42, // the progress window following its operation
};

// The number behind a name, for object names, file names and the string table.
template <class Id> constexpr int idNumber(Id id) {
    return static_cast<int>(id);
}

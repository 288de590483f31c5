#pragma once

// What a POP3 server's reply answers: its greeting or one of the commands. A failure names it by
// its label ("STAT:") in the error text.
enum class ReplyKind {
    Greeting,
    User,
    Pass,
    Quit,
    Dele,
    Rset,
    Stat,
    Noop,
    List,
    Retr,
    Top,
    Uidl,
    Capa,
    Stls,
    Auth
};

#pragma once

// The steps of an SMTP conversation. A failure names the step it happened in, with its label
// ("MAIL FROM:"), in the status text.
enum class SmtpStep { Greeting, Helo, MailFrom, RcptTo, Data, Quit, Ehlo, StartTls, Auth };

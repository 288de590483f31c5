#include "pop3/CMessagePreview.h"

#include "platform/IContentHost.h"
#include "pop3/CCharset.h"
#include "pop3/CMessageText.h"
#include "pop3/CPop3Session.h"
#include "pop3/ReplyLimits.h"
#include "resources/CStringTable.h"

void CMessagePreview::show(CPop3Session& session, int message, int lines, IContentHost* host) {
    session.top(message, lines);
    const std::string shown = text(session.getReplyText(), session.replyCut());
    if (host)
        host->showContent(shown);
}

std::string CMessagePreview::text(std::string_view reply, bool cut) {
    std::string text = CMessageText::preview(reply);
    // Decoded text can be longer than the reply (8-bit text becomes UTF-8); what is shown keeps
    // to the same bound.
    if (text.size() > ReplyLimits::kKeptTextMax) {
        text.resize(CCharset::cutPoint(text, ReplyLimits::kKeptTextMax));
        cut = true;
    }
    if (cut) {
        if (!text.empty() && text.back() != '\n')
            text += "\r\n";
        text += CStringTable::load(StringId::CutNote);
    }
    return text;
}

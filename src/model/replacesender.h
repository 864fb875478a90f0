#pragma once

#include <QObject>

// Points `member` at a new `sender`, dropping every connection `receiver`
// had from the old one, for objects that follow one source at a time.
// Returns false when the sender is the one already followed: the caller
// then has nothing to connect.
template<typename Member, typename Sender>
bool replaceSender(Member &member, Sender *sender, const QObject *receiver)
{
    if (member == sender)
        return false;
    if (member)
        QObject::disconnect(member, nullptr, receiver, nullptr);
    member = sender;
    return true;
}

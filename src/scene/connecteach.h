#pragma once

#include <QObject>

// Connects each of the `notices` (signals) of `sender` to the one `slot` of
// `receiver`, for an item that redraws or relayouts on any of them.
template<typename Sender, typename Receiver, typename Slot, typename... Notices>
void connectEach(Sender *sender, Receiver *receiver, Slot slot, Notices... notices)
{
    (QObject::connect(sender, notices, receiver, slot), ...);
}

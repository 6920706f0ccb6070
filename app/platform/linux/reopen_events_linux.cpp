// Linux: the desktop sends no reopen event; a second start is a second process, answered through
// the single-instance socket.

#include "platform/reopen_events.hpp"

namespace jolstrand {

ReopenEvents::ReopenEvents(QObject* parent) : QObject(parent) {}

}  // namespace jolstrand

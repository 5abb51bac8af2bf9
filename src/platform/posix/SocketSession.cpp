#include "platform/SocketSession.h"

SocketSession::SocketSession() = default;
SocketSession::~SocketSession() = default;

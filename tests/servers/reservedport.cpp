#include "servers/reservedport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

ReservedPort::ReservedPort()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return;
    const int on = 1;
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0
        && ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
        && ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &len) == 0) {
        m_port = ntohs(a.sin_port);
        return;
    }
    ::close(m_fd);
    m_fd = -1;
}

ReservedPort::~ReservedPort()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

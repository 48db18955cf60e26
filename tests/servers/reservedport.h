#pragma once
// A free loopback TCP port held for the life of the object, so that no
// other process is handed it while a server is started on it, stopped and
// started again. The holding socket is bound with SO_REUSEADDR and never
// listens: the kernel then gives the port to nobody who asks for any free
// port, while a server that also sets SO_REUSEADDR (smbd does) can
// bind and listen on it. Without that, the port of "bind to port 0, read
// it, close" could be taken by someone else before the server binds it.
class ReservedPort {
public:
    ReservedPort();
    ~ReservedPort();
    ReservedPort(const ReservedPort &) = delete;
    ReservedPort &operator=(const ReservedPort &) = delete;

    // 0 when no port could be had.
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

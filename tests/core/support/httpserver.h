#pragma once

#include <string>

#include "support/servers.h"

namespace ambrel::test {

// The HTTP test server (tests/servers/http_server.py) on 127.0.0.1.
class HttpServer {
public:
    HttpServer() { m_process.start({"/usr/bin/python3", serversDir() + "/http_server.py"}, true); }
    std::string url(const std::string& path) const { return m_process.url() + path; }
    int port() const { return m_process.port(); }

private:
    ServerProcess m_process;
};

}  // namespace ambrel::test

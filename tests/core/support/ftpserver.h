#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/storage/textfile.h"
#include "support/servers.h"

namespace ambrel::test {

// Debian's pyftpdlib serving a temporary root to one user, with a log of the logins and
// commands it answered.
class FtpServer {
public:
    static constexpr const char* kUser = "ann";
    static constexpr const char* kPassword = "pw";

    explicit FtpServer(const std::string& perms = "elradfmwMT") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "ambrel-ftp-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        m_base = pattern + "/";
        std::filesystem::create_directory(root());
        m_process.start({"/usr/bin/python3", serversDir() + "/ftp_server.py", root(), kUser,
                         kPassword, perms, log()},
                        true);
    }
    ~FtpServer() {
        m_process.stop();
        std::error_code ec;
        std::filesystem::remove_all(m_base, ec);
    }

    int port() const { return m_process.port(); }
    std::string root() const { return m_base + "root/"; }
    std::string log() const { return m_base + "log.txt"; }

    // Empties the root and the log between tests.
    void reset() {
        for (const auto& item : std::filesystem::directory_iterator(root())) {
            std::filesystem::remove_all(item.path());
        }
        std::ofstream(log(), std::ios::trunc).close();
    }

    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        std::ifstream in(log());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& line : logLines()) {
            n += line.starts_with(prefix) ? 1 : 0;
        }
        return n;
    }

private:
    std::string m_base;
    ServerProcess m_process;
};

// An FTP server definition file as the upload settings write it.
inline void writeFtpDefinition(const std::string& file, const std::string& url, int port,
                               const std::string& pass, const std::string& dir,
                               const std::string& startdirr, bool passive = true,
                               const std::string& notfound = "404",
                               const std::string& portText = "") {
    std::ostringstream s;
    s << "<url>" << url << "</url>\r\n<ftp>\r\n<passive>" << (passive ? "y" : "n")
      << "</passive>\r\n<port>" << (portText.empty() ? std::to_string(port) : portText)
      << "</port>\r\n<host>127.0.0.1</host>\r\n<login>" << FtpServer::kUser << "</login>\r\n<pass>"
      << pass << "</pass>\r\n<dir>" << dir << "</dir>\r\n<notfound>" << notfound
      << "</notfound>\r\n<startdirr>" << startdirr << "</startdirr>\r\n";
    storage::writeFileAtomically(file, s.str());
}

}  // namespace ambrel::test

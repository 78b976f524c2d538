#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "core/storage/textfile.h"
#include "support/servers.h"

namespace ambrel::test {

// PHP's built-in server running the test upload page from a temporary copy, so what it
// stores stays out of the source tree.
class FormServer {
public:
    FormServer() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "ambrel-form-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        m_root = pattern + "/";
        std::filesystem::copy_file(serversDir() + "/upload/upload.php", m_root + "upload.php");
        const int port = ServerProcess::freePort();
        m_process.start({"/usr/bin/php", "-S", "127.0.0.1:" + std::to_string(port), "-t", m_root},
                        false, port);
    }
    ~FormServer() {
        m_process.stop();
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }

    std::string url(const std::string& path) const { return m_process.url() + path; }
    std::string stored(const std::string& name) const { return m_root + "stored/" + name; }

private:
    std::string m_root;
    ServerProcess m_process;
};

// An HTML form definition file as the form dialogs write it.
inline void writeHtmlDefinition(const std::string& file, const std::string& postUrl,
                                const std::string& fieldLines, const std::string& begin,
                                const std::string& end, const std::string& basis,
                                const std::string& cut) {
    storage::writeFileAtomically(
        file, "<analyzeurl></analyzeurl>\r\n<url>" + postUrl + "</url>\r\n<burl>" + basis +
                  "</burl>\r\n<cuturl>" + cut + "</cuturl>\r\n<html>\r\n<topost>\r\n" + fieldLines +
                  "</topost>\r\n<parse>\r\n<beginpost>" + begin + "</beginpost>\r\n<endpost>" +
                  end + "</endpost>\r\n</parse>\r\n");
}

}  // namespace ambrel::test

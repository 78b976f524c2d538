#pragma once

#include <string>

#include "core/transfer/httpclient.h"

namespace ambrel::transfer {

class Transfers;

// Fetches the address into the file, which is created or truncated first and closed
// afterwards whatever happened. Failures of the fetch are reported ("Error : %s") and leave
// the file as far as it was written; callers judge by its size. Throws storage::IoError when
// the file cannot be created.
void filetodownload(Transfers& transfers, const std::string& url, const std::string& file);

// One GET of the encoded address into the sink, with the authorization flow on a 401 reply:
// the "Authorization required" window (or the credentials written in the address) and one
// retry. Reports its own failures and returns normally.
void DownloadHTTP(Transfers& transfers, const std::string& url, const HttpClient::Sink& sink,
                  const std::string& sinkError = "");

// The authorization retry with the window's user and password; nothing when its answer is
// "n". relayb gives the page text, "" when the retry did not run or failed.
void relayh(Transfers& transfers, const std::string& url, const HttpClient::Sink& sink,
            const std::string& sinkError = "");
std::string relayb(Transfers& transfers, const std::string& url);

// Shows "Error : %s" with the message.
void showTransferError(Transfers& transfers, const std::string& message);

}  // namespace ambrel::transfer

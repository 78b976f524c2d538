#pragma once

#include <string>

namespace ambrel::transfer {

class Transfers;

// The port of a definition as a number. Throws std::invalid_argument naming the text when
// it is not a whole number from 0 to 65535.
long portNumber(const std::string& text);

// The FTP and HTML steps of an upload, shared by the Upload command and the picture tools.
// Each reads the definition file (its path given) at the moment it needs a value. FTP and
// HTTP failures throw (FtpError, HttpError); a port that is not a number throws
// std::invalid_argument.

// Sets up the FTP client from the definition and logs in unless a session is still open (an
// open session is used as it is); then changes into the start directory when there is one.
void ftpconnect(Transfers& transfers, const std::string& definition);
// True when the session can change into the folder; it comes back to where it was.
bool FTPDirectoryExists(Transfers& transfers, const std::string& folder);
void ftpdisconnect(Transfers& transfers);

// The run's password and upload directory (asked for when the definition leaves them
// empty), the connection, and the upload directory made (one level) and entered. Gives
// the upload directory.
std::string ftpprepare(Transfers& transfers, const std::string& definition);

// Stores the local file in the current remote folder under the first free name made from the
// source path's file name, and gives its public link.
std::string ftpuploadfile(Transfers& transfers, const std::string& definition,
                          const std::string& localFile, const std::string& sourcePath,
                          const std::string& uploadDirectory);

// The multipart POST of the fields text's fields with the file; gives the result page.
std::string upfile(Transfers& transfers, const std::string& localFile,
                   const std::string& fieldsText, const std::string& postUrl);
// Posts the file to the definition's form and gives the link cut out of the result page.
std::string htmluploadfile(Transfers& transfers, const std::string& definition,
                           const std::string& localFile);

}  // namespace ambrel::transfer

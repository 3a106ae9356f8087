#pragma once

#include <cstdint>
#include <string>

class TWebAddress;

// The internet-access layer under the download workers: sessions,
// connections and requests as opaque handles, blocking calls, a status
// callback, and reads that return at most the asked number of bytes. It is
// built on libcurl; the calls, flags and codes keep the names the workers
// were written against.

struct TInternetHandle;
using HINTERNET = TInternetHandle*;

// Called on the thread that made the call, with the context value of the
// handle concerned (a request reports with its connection's context when its
// own is zero). An exception thrown by the callback ends the call and leaves
// it, after the layer has put the handle into a closed-down state.
using INTERNET_STATUS_CALLBACK = void (*)(HINTERNET handle, void* context, std::uint32_t status,
                                          const void* information, std::uint32_t length);

// Access types of InternetOpen.
constexpr std::uint32_t INTERNET_OPEN_TYPE_PRECONFIG = 0; // the desktop's proxy environment
constexpr std::uint32_t INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr std::uint32_t INTERNET_OPEN_TYPE_PROXY = 3;

// Services of InternetConnect.
constexpr std::uint32_t INTERNET_SERVICE_FTP = 1;
constexpr std::uint32_t INTERNET_SERVICE_HTTP = 3;

// Flags.
constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000;
constexpr std::uint32_t INTERNET_FLAG_SECURE = 0x00800000;
constexpr std::uint32_t INTERNET_FLAG_PASSIVE = 0x08000000;
constexpr std::uint32_t INTERNET_FLAG_PRAGMA_NOCACHE = 0x00000100;
constexpr std::uint32_t FTP_TRANSFER_TYPE_ASCII = 0x00000001;
constexpr std::uint32_t FTP_TRANSFER_TYPE_BINARY = 0x00000002;
constexpr std::uint32_t GENERIC_READ = 0x80000000;

// Options of InternetSetOption. The time-outs take a 32-bit count of
// milliseconds; set on no handle they become the process-wide defaults
// (those of tls/TransferPolicy.h at first) for sessions opened afterwards.
constexpr std::uint32_t INTERNET_OPTION_CONNECT_TIMEOUT = 2;
constexpr std::uint32_t INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
constexpr std::uint32_t INTERNET_OPTION_PROXY_USERNAME = 43;
constexpr std::uint32_t INTERNET_OPTION_PROXY_PASSWORD = 44;
// The layer's own, beyond the numbers WinInet uses: the most bytes a second
// the handle's transfers may receive, as a 64-bit count; 0 sets no cap.
constexpr std::uint32_t INTERNET_OPTION_RECEIVE_RATE_LIMIT = 0x10001;

// Queries of HttpQueryInfo.
constexpr std::uint32_t HTTP_QUERY_CONTENT_TYPE = 1;
constexpr std::uint32_t HTTP_QUERY_CONTENT_LENGTH = 5;
constexpr std::uint32_t HTTP_QUERY_LAST_MODIFIED = 11;
constexpr std::uint32_t HTTP_QUERY_STATUS_CODE = 19;
constexpr std::uint32_t HTTP_QUERY_STATUS_TEXT = 20;
constexpr std::uint32_t HTTP_QUERY_RETRY_AFTER = 36;
constexpr std::uint32_t HTTP_QUERY_ACCEPT_RANGES = 42;
constexpr std::uint32_t HTTP_QUERY_CONTENT_RANGE = 53;
constexpr std::uint32_t HTTP_QUERY_ETAG = 54;

// Status codes given to the status callback.
constexpr std::uint32_t INTERNET_STATUS_RESOLVING_NAME = 10;
constexpr std::uint32_t INTERNET_STATUS_NAME_RESOLVED = 11;
constexpr std::uint32_t INTERNET_STATUS_CONNECTING_TO_SERVER = 20;
constexpr std::uint32_t INTERNET_STATUS_CONNECTED_TO_SERVER = 21;
constexpr std::uint32_t INTERNET_STATUS_SENDING_REQUEST = 30;
constexpr std::uint32_t INTERNET_STATUS_REQUEST_SENT = 31;
constexpr std::uint32_t INTERNET_STATUS_RECEIVING_RESPONSE = 40;
constexpr std::uint32_t INTERNET_STATUS_RESPONSE_RECEIVED = 41;
constexpr std::uint32_t INTERNET_STATUS_CLOSING_CONNECTION = 50;
constexpr std::uint32_t INTERNET_STATUS_CONNECTION_CLOSED = 51;
constexpr std::uint32_t INTERNET_STATUS_REQUEST_COMPLETE = 100;
constexpr std::uint32_t INTERNET_STATUS_REDIRECT = 110;
constexpr std::uint32_t INTERNET_STATUS_STATE_CHANGE = 200;

// Last-error codes of the calling thread.
constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;
constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr std::uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
constexpr std::uint32_t ERROR_INTERNET_TIMEOUT = 12002;
constexpr std::uint32_t ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr std::uint32_t ERROR_INTERNET_INVALID_URL = 12005;
constexpr std::uint32_t ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
constexpr std::uint32_t ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr std::uint32_t ERROR_INTERNET_OPERATION_CANCELLED = 12017;
constexpr std::uint32_t ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
constexpr std::uint32_t ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr std::uint32_t ERROR_INTERNET_CONNECTION_ABORTED = 12030;
constexpr std::uint32_t ERROR_INTERNET_SEC_CERT_DATE_INVALID = 12037;
constexpr std::uint32_t ERROR_INTERNET_SEC_CERT_CN_INVALID = 12038;
constexpr std::uint32_t ERROR_INTERNET_INVALID_CA = 12045;
constexpr std::uint32_t ERROR_HTTP_HEADER_NOT_FOUND = 12150;
constexpr std::uint32_t ERROR_INTERNET_INVALID_SERVER_RESPONSE = 12152;
constexpr std::uint32_t ERROR_HTTP_INVALID_HEADER = 12153;
constexpr std::uint32_t ERROR_HTTP_REDIRECT_FAILED = 12156;
constexpr std::uint32_t ERROR_INTERNET_SECURE_FAILURE = 12175;

// Null pointers stand for "none" wherever a text may be left out.
HINTERNET InternetOpen(const char* agent, std::uint32_t accessType, const char* proxy, const char* proxyBypass,
                       std::uint32_t flags);
INTERNET_STATUS_CALLBACK InternetSetStatusCallback(HINTERNET handle, INTERNET_STATUS_CALLBACK callback);
// Connects to the server of an address: its scheme, host and port (none:
// the scheme's default port). The address is kept whole, for the requests.
HINTERNET InternetConnect(HINTERNET session, const TWebAddress& server, const char* userName, const char* password,
                          std::uint32_t service, std::uint32_t flags, void* context);
// The request goes to the connection's address as it was given, or, with an
// object name, to "/" followed by objectName on the same server.
HINTERNET HttpOpenRequest(HINTERNET connection, const char* verb, const char* objectName, const char* version,
                          const char* referrer, const char** acceptTypes, std::uint32_t flags, void* context);
bool InternetSetOption(HINTERNET handle, std::uint32_t option, const void* buffer, std::uint32_t length);
// Reads a time-out option into buffer (length: its size in, the option's
// out); on no handle, the process-wide default.
bool InternetQueryOption(HINTERNET handle, std::uint32_t option, void* buffer, std::uint32_t* length);
// Returns when the final response's headers have arrived (redirects are
// followed and reported as INTERNET_STATUS_REDIRECT). headers holds extra
// request header lines ("Name: value", each ended by CR LF), headersLength
// their length (-1: up to the terminating zero); they go out with the
// request and its redirects.
bool HttpSendRequest(HINTERNET request, const char* headers, std::uint32_t headersLength, const void* body,
                     std::uint32_t bodyLength);
// Copies the value with a terminating zero; length holds the buffer size on
// entry and the value's length on return (the size needed when it is short).
bool HttpQueryInfo(HINTERNET request, std::uint32_t info, char* buffer, std::uint32_t* length, std::uint32_t* index);
// Reads at most toRead body bytes; 0 bytes with success means the end.
bool InternetReadFile(HINTERNET file, void* buffer, std::uint32_t toRead, std::uint32_t* read);

// For a caller that waits on several transfers at once: the socket a
// transfer waits on (-1: none yet), and the longest wait before it must be
// run again (-1: no limit).
struct TInternetWaitHint {
    int Socket = -1;
    long TimeoutMs = -1;
};
// InternetReadFile without waiting: the transfer is run only as far as it
// goes at once. Success with 0 bytes and *ended false means nothing has
// arrived yet: wait as InternetQueryWaitHint says, then read again.
bool InternetReadFileNoWait(HINTERNET file, void* buffer, std::uint32_t toRead, std::uint32_t* read, bool* ended);
bool InternetQueryWaitHint(HINTERNET file, TInternetWaitHint* hint);
// The text of the calling thread's last failure, at most length - 1 bytes.
bool InternetGetLastResponseInfo(std::uint32_t* error, char* buffer, std::uint32_t* length);
bool InternetCloseHandle(HINTERNET handle);

// Opens a file on an FTP connection and starts its transfer: the one the
// connection's address names, or fileName.
HINTERNET FtpOpenFile(HINTERNET connection, const char* fileName, std::uint32_t access, std::uint32_t flags,
                      void* context);
std::uint32_t FtpGetFileSize(HINTERNET file, std::uint32_t* sizeHigh);

// The calling thread's last-error code; TInternetFailure.h has the whole
// failure.
std::uint32_t GetLastError();

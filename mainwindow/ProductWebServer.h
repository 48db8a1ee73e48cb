#pragma once

#include <QString>
#include <QUrl>

// The product web server: the update information file, the download page and the home page.
// Its address is compiled in and can be replaced by the environment variable CORVANE_SERVER_URL
// (an https URL, or an http one on this computer such as a test server on 127.0.0.1).

#define PRODUCT_WEB_SERVER_DEFAULT_URL "https://www.corvane.example"
#define PRODUCT_WEB_SERVER_URL_VARIABLE "CORVANE_SERVER_URL"

// The server's base URL, without a trailing slash; the compiled-in one when the variable is unset or
// not an absolute https URL (http only to 127.0.0.1, ::1 or localhost).
QUrl productWebServerUrl();

// A page of the server: path starts with "/".
QUrl productWebServerPageUrl(const QString& path);

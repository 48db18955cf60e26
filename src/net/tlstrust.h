#pragma once
// How every TLS connection of the program decides whom to trust: the
// system's certificate store plus the PEM certificates the user put into
// "trusted-certificates.pem" in the data folder (a home server with a
// certificate of its own, or a test CA). The peer and its host name are
// always verified, and nothing older than TLS 1.2 is offered.
#include <QByteArray>
#include <QString>
#include <curl/curl.h>

namespace TlsTrust {

// "trusted-certificates.pem" in the data folder.
QString UserCertificatesPath();

// The certificates to trust, as one PEM text: the system bundle followed by
// the user's file. Empty when the user has no file of their own (libcurl
// then uses the system store directly).
QByteArray TrustedCertificates();

// Sets verification, the minimum TLS version and the trusted certificates on
// `handle`. False with `error` when the user's file exists but cannot be read
// (a connection then fails rather than trusting less than the user asked for).
bool Apply(CURL *handle, QString *error);

} // namespace TlsTrust

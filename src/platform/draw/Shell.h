#pragma once

#include <QString>
#include <QUrl>

// The address as the shell opens it: a web address with a scheme, "www."
// addresses with "http://", an existing local file as a file URL. Anything else,
// such as a bare word, gives an invalid QUrl: it must not become a guessed host.
QUrl ShellUrl(const QString& address);

// Opens ShellUrl(address) in the default browser or program; returns whether the
// window system accepted the request. An address naming nothing opens nothing.
[[nodiscard]] bool OpenUrl(const QString& address);

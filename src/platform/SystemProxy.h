// SPDX-License-Identifier: MIT
#pragma once

// The proxy of the system's settings for an address: the desktop's (GNOME's
// settings, KDE's, through GIO's proxy resolver, when GIO is installed) unless the environment names
// one, which the network library honours itself (http_proxy, https_proxy,
// HTTPS_PROXY, all_proxy, no_proxy; not HTTP_PROXY, which a web server's CGI
// environment can set from a request header).

#include <string>

// "scheme://host:port" of the proxy to use, or empty for none from the desktop
// (direct, or the environment's, left to the network library). Thread-safe.
std::string SystemProxyFor(const std::string& strUrl);

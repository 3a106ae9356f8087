#pragma once

// The address family of an address or a connection.
enum TIdIPVersion { Id_IPv4, Id_IPv6 };

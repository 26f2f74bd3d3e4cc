// The race-server client; until the protocol is in place no connection ever opens.
#include "net/client.h"

NetClient g_net = {0, 160, 0, 0};

void net_client_tick() {}
int server_tick_estimate() { return 0; }
void net_disconnect() { g_net.connected = 0; }
void net_reset_connection() { g_net = NetClient{0, 160, 0, 0}; }

// The race-server client: connection state and the per-tick client step.
#pragma once

struct NetClient {
    int connected;        // a server connection is open
    int racing_slot;      // our slot in the race; 160 while warming up
    int my_slot;          // slot number the server gave us
    unsigned cookie;      // connection cookie from the server
};

extern NetClient g_net;

// Runs once per tick: sends and receives datagrams.
void net_client_tick();
// The server's tick as this client estimates it.
int server_tick_estimate();
// Sends the disconnect datagram and closes the socket, if connected.
void net_disconnect();
// Forgets the connection state.
void net_reset_connection();

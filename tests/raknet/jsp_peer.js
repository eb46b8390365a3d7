// The outside peer of the raknet tests: jsp-raknet, a RakNet implementation
// in JavaScript, as a server or a client on the loopback address.
//
//   node jsp_peer.js MODULES PROTOCOL server PORT SECONDS
//       Serves on 127.0.0.1:PORT and echoes every user packet back to its
//       sender, reliable ordered. Prints OPEN, PACKET and CLOSE lines.
//   node jsp_peer.js MODULES PROTOCOL client PORT SECONDS
//       Pings 127.0.0.1:PORT, connects, sends a user packet and a 5,000-byte
//       one and waits for the echoes. Prints PONG, CONNECTED, ECHO lines and
//       DONE, or FAILED with the reason (exit code 1).
//
// MODULES is the node_modules folder holding jsp-raknet 2.2.0. The library
// speaks one protocol version, fixed in its source; it is set to PROTOCOL
// when its files are loaded (nothing on disk changes). Everything goes to
// 127.0.0.1 only, and the process ends after SECONDS.
'use strict';
const fs = require('fs');
const Module = require('module');
const path = require('path');

const [modules, protocolText, mode, portText, secondsText] = process.argv.slice(2);
const protocol = Number(protocolText);
const port = Number(portText);
const seconds = Number(secondsText || 10);
const LOOPBACK = '127.0.0.1';

function out(line) { process.stdout.write(line + '\n'); }
function fail(reason) { out('FAILED ' + reason); process.exit(1); }

// Loads the library with its protocol version replaced.
function loadRaknet() {
    const root = path.join(modules, 'jsp-raknet');
    const load = Module._extensions['.js'];
    let patched = 0;
    Module._extensions['.js'] = function (module, filename) {
        if (filename.startsWith(root) && /[\\/](Client|Server)\.js$/.test(filename)) {
            const source = fs.readFileSync(filename, 'utf8');
            const constant = /const RAKNET_PROTOCOL = \d+;/;
            if (!constant.test(source))
                fail('no protocol constant in ' + filename);
            const changed = source.replace(constant, 'const RAKNET_PROTOCOL = ' + protocol + ';');
            patched++;
            return module._compile(changed, filename);
        }
        return load(module, filename);
    };
    const raknet = require(root);
    if (patched !== 2)
        fail('protocol set in ' + patched + ' files, not 2');
    return raknet;
}

const raknet = loadRaknet();
const pattern = (n) => Buffer.from(Array.from({ length: n }, (_, i) => (i * 31 + 7) & 0xFF));

function sendTo(connection, bytes) {
    const packet = new raknet.EncapsulatedPacket();
    packet.reliability = raknet.Reliability.ReliableOrdered;
    packet.buffer = bytes;
    connection.addEncapsulatedToQueue(packet, 1);
}

function describe(bytes) {
    const sum = bytes.reduce((s, b) => (s * 31 + b) >>> 0, 0);
    return 'id=' + bytes[0] + ' length=' + bytes.length + ' sum=' + sum;
}

setTimeout(() => { out('TIMEOUT'); process.exit(mode === 'server' ? 0 : 1); }, seconds * 1000);

if (mode === 'server') {
    const ServerName = require(path.join(modules, 'jsp-raknet/js/utils/ServerName')).default;
    const name = new ServerName();
    name.motd = 'jsp-raknet here';
    const server = new raknet.Server(LOOPBACK, port, name);
    const connections = new Map();
    server.on('openConnection', (connection) => {
        connections.set(connection.address.hash, connection);
        out('OPEN ' + connection.address.address + ' ' + connection.address.port);
    });
    server.on('encapsulated', (packet, address) => {
        out('PACKET ' + describe(packet.buffer));
        const connection = connections.get(address.hash);
        if (connection)
            sendTo(connection, packet.buffer);
    });
    server.on('closeConnection', (address) => out('CLOSE ' + address.address));
    server.listen().then(() => out('LISTENING ' + port), (e) => fail('listen: ' + e));
} else if (mode === 'client') {
    const client = new raknet.Client(LOOPBACK, port);
    const small = Buffer.concat([Buffer.from([140]), Buffer.from('hello from jsp')]);
    const big = Buffer.concat([Buffer.from([141]), pattern(4999)]);
    const expected = [small, big];
    let connection = null;
    client.on('connected', (c) => {
        connection = c;
        out('CONNECTED');
        sendTo(connection, small);
        sendTo(connection, big);
    });
    client.on('encapsulated', (packet) => {
        const bytes = packet.buffer;
        out('ECHO ' + describe(bytes));
        const want = expected.shift();
        if (!want || !want.equals(bytes))
            fail('unexpected echo ' + describe(bytes));
        if (expected.length === 0) {
            out('DONE');
            client.close('done');
            process.exit(0);
        }
    });
    client.on('error', (e) => fail('client: ' + e));
    client.ping((serverName) => {
        out('PONG ' + serverName);
        client.connect().catch((e) => fail('connect: ' + e));
    });
} else {
    fail('mode is server or client, not ' + mode);
}

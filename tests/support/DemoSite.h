#pragma once

#include "support/PythonPeer.h"
#include "support/ScratchFolder.h"

#include <cstdint>
#include <string>

// The bundled demo of the video site (tools/demo-site), started on a free
// loopback port for one fixture and stopped by the destructor. The port
// speaks http and https; the site's certificate authority is made at start
// and is trusted by this process (and the programs it starts) from then on.
class DemoSite {
public:
    DemoSite();

    std::uint16_t Port() const { return peer_.Port(); }
    // "127.0.0.1:PORT", what --site-host takes.
    std::string Host() const { return "127.0.0.1:" + std::to_string(Port()); }
    std::string WatchAddress(const std::string& id) const { return "http://" + Host() + "/watch?v=" + id; }
    std::string SecureWatchAddress(const std::string& id) const { return "https://" + Host() + "/watch?v=" + id; }
    // A direct link to a video's file, as the site serves it at /files/.
    std::string FileAddress(const std::string& name) const { return "https://" + Host() + "/files/" + name; }
    // One of the site's ordinary pages (tools/demo-site/pages).
    std::string PageAddress(const std::string& name) const { return "https://" + Host() + "/pages/" + name; }

    // A file of the site's streams in pieces, by its path under /streams/:
    // StreamAddress("hls/master.m3u8"), StreamAddress("dash/manifest.mpd?fail=2")
    // (tools/demo-site/streams.py lists them, stream_knobs.py the knobs). They
    // are made at the first start on a machine; a request waits for them.
    std::string StreamAddress(const std::string& path) const { return "https://" + Host() + "/streams/" + path; }
    // The same over plain http, for peers such as ffmpeg that do not trust
    // the site's authority.
    std::string PlainStreamAddress(const std::string& path) const { return "http://" + Host() + "/streams/" + path; }
    // An address that redirects to a stream folder's playlist ("hls.m3u8" to
    // hls/master.m3u8, "dash.mpd" to dash/manifest.mpd): its relative
    // addresses must be read against the final address.
    std::string MovedStreamAddress(const std::string& name) const { return "https://" + Host() + "/moved/" + name; }
    // The folder the streams are served from, with their facts.json (what
    // each playlist must decode to); waits until they are made.
    std::string StreamsFolder() const;
    std::string StreamFactsFile() const { return StreamsFolder() + "/facts.json"; }
    // The md5 of a file's decoded video and of its decoded audio, found as
    // facts.json's are (empty when ffmpeg cannot read the file).
    static std::string DecodedVideoMd5(const std::string& file);
    static std::string DecodedAudioMd5(const std::string& file);

    // The bytes the site serves for a video in a format ("normal", "17",
    // "18", "22"), computed as the site computes them.
    static std::string StreamBytes(const std::string& id, const std::string& format, std::size_t size);

private:
    ScratchFolder folder_{"demo"};
    PythonPeer peer_;
    mutable std::string streamsFolder_;
};

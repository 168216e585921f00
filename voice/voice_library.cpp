// Tested through tests/voice/voice_engine_test.cpp.
#include "voice/voice_library.h"

#include <map>
#include <memory>
#include <vector>

#include "voice/audio_graph.h"
#include "voice/direct_voice_link.h"
#include "voice/file_based_recorder.h"
#include "voice/local_codec.h"
#include "voice/udp_audio_port.h"
#include "voice/voice_channel.h"

namespace {

class OrlexVoiceChannelHandler : public CVoiceChannelHandler {
public:
    OrlexVoiceChannelHandler(OrlexHandle handle, OrlexChannelCallback callback, void* user)
        : m_handle(handle), m_callback(callback), m_user(user) {}
    void OnEvent(CVoiceChannel*, uint32_t code) override {
        if (!m_callback) return;
        int event = 0;
        switch (code) {
            case kVoicePathConfirmed:
                event = 1;
                break;
            case kVoiceDisconnected:
                event = 2;
                break;
            case kVoiceFailedOrMembers:
                event = 3;
                break;
            case kVoicePublicEndPoint:
                event = 4;
                break;
            default:
                return;
        }
        m_callback(m_handle, event, m_user);
    }

private:
    OrlexHandle m_handle;
    OrlexChannelCallback m_callback;
    void* m_user;
};

class OrlexLocalCodecHandler : public CLocalCodecHandler {
public:
    OrlexLocalCodecHandler(OrlexCodecCallback callback, void* user) : m_callback(callback), m_user(user) {}
    void OnReceiving(bool receiving) override {
        if (m_callback) m_callback(receiving, m_user);
    }

private:
    OrlexCodecCallback m_callback;
    void* m_user;
};

struct Entry {
    std::unique_ptr<CAudioProducerConsumer> node;
    std::unique_ptr<CUDPAudioPort> port;
    std::unique_ptr<OrlexVoiceChannelHandler> channelHandler;
    std::unique_ptr<OrlexLocalCodecHandler> codecHandler;
};

struct Library {
    std::map<OrlexHandle, Entry> objects;
    // Above the mixer's bus keys 1 to 8, which share the key space with handles.
    OrlexHandle next = 0x100;
};

Library& TheLibrary() {
    static Library library;
    return library;
}

OrlexHandle Add(Entry entry) {
    auto& library = TheLibrary();
    OrlexHandle handle = library.next++;
    if (library.next == 0) library.next = 0x100;  // 2^32 objects later
    library.objects.emplace(handle, std::move(entry));
    return handle;
}

Entry* Find(OrlexHandle handle) {
    auto& objects = TheLibrary().objects;
    auto it = objects.find(handle);
    return it == objects.end() ? nullptr : &it->second;
}

template <typename T>
T* As(OrlexHandle handle) {
    Entry* entry = Find(handle);
    return entry && entry->node ? dynamic_cast<T*>(entry->node.get()) : nullptr;
}

CUDPAudioPort* Port(OrlexHandle handle) {
    Entry* entry = Find(handle);
    return entry ? entry->port.get() : nullptr;
}

}  // namespace

OrlexHandle OrlexCreateMixer() { return Add({std::make_unique<CAudioMixer>(), nullptr, nullptr, nullptr}); }

OrlexHandle OrlexCreateLocalCodec(int kind, SoundDeviceProvider& devices, OrlexCodecCallback callback,
                                  void* user) {
    Entry entry;
    auto codec = std::make_unique<CLocalCodec>(devices, kind == 1);
    entry.codecHandler = std::make_unique<OrlexLocalCodecHandler>(callback, user);
    codec->SetHandler(entry.codecHandler.get());
    entry.node = std::move(codec);
    return Add(std::move(entry));
}

OrlexHandle OrlexCreateUdpPort(uint16_t localPort) {
    Entry entry;
    entry.port = std::make_unique<CUDPAudioPort>(localPort);
    return Add(std::move(entry));
}

OrlexHandle OrlexCreateRecorder() {
    return Add({std::make_unique<CFileBasedRecorder>(), nullptr, nullptr, nullptr});
}

OrlexHandle OrlexCreateVoiceChannel(uint32_t serverAddress, uint16_t serverPort, const std::string& room,
                                    const std::string& displayName, uint32_t parameter1, uint32_t parameter2,
                                    const std::array<uint8_t, 12>& joinField, OrlexHandle udpPort,
                                    OrlexChannelCallback callback, void* user) {
    auto& library = TheLibrary();
    OrlexHandle handle = library.next;
    Entry entry;
    auto channel = std::make_unique<CVoiceChannel>(serverAddress, serverPort, room, displayName, parameter1,
                                                   parameter2, joinField, Port(udpPort));
    entry.channelHandler = std::make_unique<OrlexVoiceChannelHandler>(handle, callback, user);
    channel->SetHandler(entry.channelHandler.get());
    entry.node = std::move(channel);
    return Add(std::move(entry));
}

void OrlexReleaseVoiceChannel(OrlexHandle channel) { OrlexReleaseObject(channel); }

OrlexHandle OrlexCreateDirectLink(uint32_t peerAddress, uint16_t peerPort, const std::string& incomingName,
                                  const std::string& outgoingName, OrlexHandle udpPort) {
    return Add(
        {std::make_unique<CDirectVoiceLink>(peerAddress, peerPort, incomingName, outgoingName, Port(udpPort)),
         nullptr, nullptr, nullptr});
}

void OrlexReleaseObject(OrlexHandle handle) {
    auto& objects = TheLibrary().objects;
    auto it = objects.find(handle);
    if (it == objects.end()) return;
    // Take the object out first: its destructor may reach the library.
    Entry entry = std::move(it->second);
    objects.erase(it);
    for (auto& [key, other] : objects)
        if (auto* mixer = dynamic_cast<CAudioMixer*>(other.node.get()))
            mixer->ForgetKey(static_cast<int32_t>(handle));
}

bool OrlexIsValid(OrlexHandle handle) { return Find(handle) != nullptr; }

void OrlexConnect(OrlexHandle producer, int32_t outputKey, OrlexHandle consumer, int32_t inputKey) {
    auto* from = As<CAudioProducer>(producer);
    if (!from) return;
    from->Connect(outputKey, consumer ? As<CAudioConsumer>(consumer) : nullptr, inputKey);
}

void OrlexSetLink(OrlexHandle mixer, int32_t from, int32_t to, bool on) {
    if (auto* m = As<CAudioMixer>(mixer)) m->SetLink(from, to, on);
}

bool OrlexIsLinked(OrlexHandle mixer, int32_t from, int32_t to) {
    auto* m = As<CAudioMixer>(mixer);
    return m && m->IsLinked(from, to);
}

float OrlexInputAge(OrlexHandle mixer, int32_t key) {
    auto* m = As<CAudioMixer>(mixer);
    return m ? m->InputAge(key) : -1.0f;
}

float OrlexOutputAge(OrlexHandle mixer, int32_t key) {
    auto* m = As<CAudioMixer>(mixer);
    return m ? m->OutputAge(key) : -1.0f;
}

double OrlexRunTasks() { return CAudioTask::RunAll(); }

void OrlexSetChannelServer(OrlexHandle channel, uint32_t address) {
    if (auto* c = As<CVoiceChannel>(channel)) c->SetServerAddress(address);
}

void OrlexConnectChannel(OrlexHandle channel) {
    if (auto* c = As<CVoiceChannel>(channel)) c->ConnectServer();
}

void OrlexDisconnectChannel(OrlexHandle channel) {
    if (auto* c = As<CVoiceChannel>(channel)) c->DisconnectServer();
}

int OrlexChannelSocketState(OrlexHandle channel) {
    auto* c = As<CVoiceChannel>(channel);
    return c ? c->SocketState() : 0;
}

bool OrlexSetInputDevice(OrlexHandle codec, uint16_t index) {
    auto* c = As<CLocalCodec>(codec);
    return c && c->SetInputDevice(index);
}

void OrlexSetOutputDevice(OrlexHandle codec, uint16_t index) {
    if (auto* c = As<CLocalCodec>(codec)) c->SetOutputDevice(index);
}

void OrlexSetOutputVolume(OrlexHandle codec, int16_t volume) {
    if (auto* c = As<CLocalCodec>(codec)) c->SetVolume(volume);
}

bool OrlexIsInputOpen(OrlexHandle codec) {
    auto* c = As<CLocalCodec>(codec);
    return c && c->IsInputOpen();
}

bool OrlexIsOutputOpen(OrlexHandle codec) {
    auto* c = As<CLocalCodec>(codec);
    return c && c->IsOutputOpen();
}

void OrlexSetVhfSimulation(OrlexHandle codec, bool on) {
    if (auto* c = As<CLocalCodec>(codec)) c->SetVHFSimulation(on);
}

void OrlexGetDeviceNames(OrlexHandle codec, OrlexNameCallback inputCallback, void* inputUser,
                         OrlexNameCallback outputCallback, void* outputUser, uint16_t* selectedInput,
                         uint16_t* selectedOutput) {
    auto* c = As<CLocalCodec>(codec);
    if (!c) return;
    std::vector<std::string> inputs, outputs;
    c->GetDevices(&inputs, &outputs, selectedInput, selectedOutput);
    if (inputCallback)
        for (const auto& name : inputs) inputCallback(name.c_str(), inputUser);
    if (outputCallback)
        for (const auto& name : outputs) outputCallback(name.c_str(), outputUser);
}

void OrlexStartNoiseMeasurement(OrlexHandle codec) {
    if (auto* c = As<CLocalCodec>(codec)) c->StartNoiseMeasure();
}

void OrlexEndNoiseMeasurement(OrlexHandle codec) {
    if (auto* c = As<CLocalCodec>(codec)) c->EndNoiseMeasure();
}

void OrlexStartLevelMeasurement(OrlexHandle codec) {
    if (auto* c = As<CLocalCodec>(codec)) c->StartLevelMeasure();
}

uint32_t OrlexEndLevelMeasurement(OrlexHandle codec) {
    auto* c = As<CLocalCodec>(codec);
    return c ? c->EndLevelMeasure() : 0;
}

double OrlexGetInputSquelch(OrlexHandle codec) {
    auto* c = As<CLocalCodec>(codec);
    return c ? c->GetInputSquelch() : 0.0;
}

void OrlexSetInputSquelch(OrlexHandle codec, double level) {
    if (auto* c = As<CLocalCodec>(codec)) c->SetInputSquelch(static_cast<float>(level));
}

void OrlexRecorderSetFile(OrlexHandle recorder, const std::string& path) {
    if (auto* r = As<CFileBasedRecorder>(recorder)) r->SetFileName(path);
}

void OrlexRecorderStartRecording(OrlexHandle recorder) {
    if (auto* r = As<CFileBasedRecorder>(recorder)) r->StartRecording();
}

void OrlexRecorderStopRecording(OrlexHandle recorder) {
    if (auto* r = As<CFileBasedRecorder>(recorder)) r->StopRecording();
}

bool OrlexRecorderIsRecording(OrlexHandle recorder) {
    auto* r = As<CFileBasedRecorder>(recorder);
    return r && r->IsRecording();
}

int OrlexRecorderStartPlayback(OrlexHandle recorder, bool loop) {
    auto* r = As<CFileBasedRecorder>(recorder);
    return r ? r->StartPlayback(loop) : 0;
}

void OrlexRecorderStopPlayback(OrlexHandle recorder) {
    if (auto* r = As<CFileBasedRecorder>(recorder)) r->StopPlayback();
}

bool OrlexRecorderIsPlaying(OrlexHandle recorder) {
    auto* r = As<CFileBasedRecorder>(recorder);
    return r && r->IsPlaying();
}

bool OrlexIsUdpPortOpen(OrlexHandle port) {
    auto* p = Port(port);
    return p && p->IsOpen();
}

uint16_t OrlexUdpLocalPort(OrlexHandle port) {
    auto* p = Port(port);
    return p ? p->LocalPort() : 0;
}

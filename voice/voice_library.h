// The voice library's flat interface: every object of the audio graph is
// reached by a 32-bit handle, 0 for none. Handles are never reused, and
// releasing one deletes its object and drops every mixer link to or from it.
// Events arrive through plain callbacks with a user value.
// Main thread only. Tested by tests/voice/voice_engine_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class SoundDeviceProvider;

using OrlexHandle = uint32_t;
// Events: 1 datagram path confirmed, 2 connection closed, 3 connection failed
// or members changed, 4 own public end point changed.
using OrlexChannelCallback = void (*)(OrlexHandle channel, int event, void* user);
using OrlexCodecCallback = void (*)(bool receiving, void* user);
using OrlexNameCallback = void (*)(const char* name, void* user);

OrlexHandle OrlexCreateMixer();
// kind 0: microphone capture with headset playback; 1: speaker playback only.
OrlexHandle OrlexCreateLocalCodec(int kind, SoundDeviceProvider& devices, OrlexCodecCallback callback,
                                  void* user);
OrlexHandle OrlexCreateUdpPort(uint16_t localPort);
OrlexHandle OrlexCreateRecorder();
OrlexHandle OrlexCreateVoiceChannel(uint32_t serverAddress, uint16_t serverPort, const std::string& room,
                                    const std::string& displayName, uint32_t parameter1, uint32_t parameter2,
                                    const std::array<uint8_t, 12>& joinField, OrlexHandle udpPort,
                                    OrlexChannelCallback callback, void* user);
void OrlexReleaseVoiceChannel(OrlexHandle channel);
OrlexHandle OrlexCreateDirectLink(uint32_t peerAddress, uint16_t peerPort, const std::string& incomingName,
                                  const std::string& outgoingName, OrlexHandle udpPort);
void OrlexReleaseObject(OrlexHandle handle);
bool OrlexIsValid(OrlexHandle handle);

void OrlexConnect(OrlexHandle producer, int32_t outputKey, OrlexHandle consumer, int32_t inputKey);
void OrlexSetLink(OrlexHandle mixer, int32_t from, int32_t to, bool on);
bool OrlexIsLinked(OrlexHandle mixer, int32_t from, int32_t to);
float OrlexInputAge(OrlexHandle mixer, int32_t key);
float OrlexOutputAge(OrlexHandle mixer, int32_t key);

double OrlexRunTasks();

void OrlexSetChannelServer(OrlexHandle channel, uint32_t address);
void OrlexConnectChannel(OrlexHandle channel);
void OrlexDisconnectChannel(OrlexHandle channel);
// The channel's TCP state (1 idle, 2 connecting, 3 connected, 4 closed, 5 error).
int OrlexChannelSocketState(OrlexHandle channel);

bool OrlexSetInputDevice(OrlexHandle codec, uint16_t index);
void OrlexSetOutputDevice(OrlexHandle codec, uint16_t index);
void OrlexSetOutputVolume(OrlexHandle codec, int16_t volume);
bool OrlexIsInputOpen(OrlexHandle codec);
bool OrlexIsOutputOpen(OrlexHandle codec);
void OrlexSetVhfSimulation(OrlexHandle codec, bool on);
void OrlexGetDeviceNames(OrlexHandle codec, OrlexNameCallback inputCallback, void* inputUser,
                         OrlexNameCallback outputCallback, void* outputUser, uint16_t* selectedInput,
                         uint16_t* selectedOutput);
void OrlexStartNoiseMeasurement(OrlexHandle codec);
void OrlexEndNoiseMeasurement(OrlexHandle codec);
void OrlexStartLevelMeasurement(OrlexHandle codec);
uint32_t OrlexEndLevelMeasurement(OrlexHandle codec);
double OrlexGetInputSquelch(OrlexHandle codec);
void OrlexSetInputSquelch(OrlexHandle codec, double level);

void OrlexRecorderSetFile(OrlexHandle recorder, const std::string& path);
void OrlexRecorderStartRecording(OrlexHandle recorder);
void OrlexRecorderStopRecording(OrlexHandle recorder);
bool OrlexRecorderIsRecording(OrlexHandle recorder);
int OrlexRecorderStartPlayback(OrlexHandle recorder, bool loop);
void OrlexRecorderStopPlayback(OrlexHandle recorder);
bool OrlexRecorderIsPlaying(OrlexHandle recorder);

// Whether the UDP port could bind its local port.
bool OrlexIsUdpPortOpen(OrlexHandle port);
uint16_t OrlexUdpLocalPort(OrlexHandle port);

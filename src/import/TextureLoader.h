// Finding and decoding the texture files that materials name.
#pragma once

#include <string>

#include "scene/CMaterial.h"
#include "scene/CTessaline.h"
#include "scene/MessageSink.h"

// Decode the file at `path` into material.m_image by its extension; true when decoded.
bool LoadImageFile(CMaterial& material, const std::string& path);

// Resolve material.m_texture (as written; then relative to g_textureBaseFolder;
// then the TEXTURE folder beside the program) and decode it into m_image.
// True when a file was decoded. On failure the message is sent to `messages`.
bool LoadTexture(CMaterial& material, MessageSink& messages);

// LoadTexture for every material, in order.
void ReloadTextures(CTessaline& scene, MessageSink& messages);

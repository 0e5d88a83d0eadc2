// ObjectUniforms.cpp -- per-object shader values (matrices, material, mood, light) and the per-mesh draw calls.
#include <algorithm>

#include <epoxy/gl.h>
#include <glm/gtc/matrix_inverse.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "game/Game.h"
#include "game/Settlement.h"
#include "render/Renderer.h"
#include "render/UniformCache.h"

namespace {

// Ambient strength of an object the cursor is over (or a blinking one), and of every other object.
constexpr float highlightedAmbient = 0.8f;
constexpr float normalAmbient = 0.1f;
// Height above the ground at which the light reaches full strength.
constexpr float fullLightHeight = 50.0f;

}  // namespace

TextureMode grenadeTextureMode(GrenadeState state) {
    const bool finished = state == GrenadeState::Ready || state == GrenadeState::Rolling || state == GrenadeState::Exploding;
    return finished ? TextureMode::GlowingGrenade : TextureMode::Texture;
}

void Renderer::setObjectUniforms(const SceneObject& object, const Settlement* settlement, const Model& model) {
    setObjectUniforms(object, settlement, model, model.useTexture);
}

void Renderer::setObjectUniforms(const SceneObject& object, const Settlement* settlement, const Model& model,
                                 TextureMode textureMode) {
    if (!active) return;
    const uint32_t program = active->program;
    const auto at = [program](Uniform uniform) { return uniformLocation(program, uniform); };

    const glm::mat4 m = object.modelMatrix();
    const glm::mat4 mv = view.viewMatrix * m;
    const glm::mat4 mvp = view.projectionMatrix * mv;
    // Normals turn by the inverse-transpose: on a stretched shape (the world's edge pieces) the matrix itself
    // would tilt them towards the stretch.
    const glm::mat3 normalMatrix = glm::inverseTranspose(glm::mat3(mv));

    glUniformMatrix4fv(at(Uniform::MvpMatrix), 1, GL_FALSE, glm::value_ptr(mvp));
    if (active == worldPrograms.id) {
        // The id pass needs nothing but the position and the number.
        glUniform1i(at(Uniform::ObjectId), object.id);
        return;
    }

    if (!settings.transparency && (textureMode == TextureMode::Leaves || textureMode == TextureMode::Lightning))
        textureMode = TextureMode::Texture;

    glUniformMatrix4fv(at(Uniform::MMatrix), 1, GL_FALSE, glm::value_ptr(m));
    glUniformMatrix4fv(at(Uniform::MvMatrix), 1, GL_FALSE, glm::value_ptr(mv));
    glUniformMatrix3fv(at(Uniform::NormalMatrix), 1, GL_FALSE, glm::value_ptr(normalMatrix));
    glUniform4fv(at(Uniform::DiffuseColor), 1, model.diffuseColor.data());
    glUniform1f(at(Uniform::MaterialFactor), model.materialFactor);
    glUniform1i(at(Uniform::UseTexture), static_cast<int>(textureMode));
    glUniform1i(at(Uniform::UseLight), model.useLight);
    glUniform1f(at(Uniform::BadFactor), game->badFactor);
    glUniform1f(at(Uniform::AmbientFactor), object.highlighted ? highlightedAmbient : normalAmbient);

    const glm::vec3 lightPosition = game->light ? game->light->position : glm::vec3(0.0f);
    glm::vec3 offset(0.0f);
    float strength = lightPosition.y / fullLightHeight;
    if (game->nightMode && settlement) {
        // At night every settlement is lit by its own light just above its centre.
        offset = settlement->position;
        strength = 1.0f;
    }
    if (strength > 1.0f) strength = 1.0f;
    if (strength < 0.0f) strength = 0.0f;
    glUniform1f(at(Uniform::LightFactor), strength);

    const glm::vec4 eyeLight = view.viewMatrix * glm::vec4(lightPosition + offset, 1.0f);
    glUniform3fv(at(Uniform::LightPosition), 1, glm::value_ptr(glm::vec3(eyeLight)));
}

void drawMeshes(const Model& model, MeshSelection selection, int mesh) {
    GLint first = 0;
    const int meshes = std::min<int>(model.meshCount, static_cast<int>(model.meshVertexCounts.size()));
    for (int k = 0; k < meshes; ++k) {
        const GLsizei count = static_cast<GLsizei>(model.meshVertexCounts[static_cast<std::size_t>(k)]);
        const bool draw = selection == MeshSelection::All || (selection == MeshSelection::Only) == (k == mesh);
        if (draw) glDrawArrays(GL_TRIANGLES, first, count);
        first += count;
    }
}

void Renderer::uploadStrike() {
    if (!game->strike->visible) return;
    const Game::StrikeGeometry& bolt = game->strikeGeometry;
    uploadGeometry(worldModels.lightning, *worldPrograms.phong, bolt.positions.data(), nullptr, bolt.texCoords.data(),
                   static_cast<int32_t>(sizeof(float) * bolt.positions.size()), GeometryUsage::Dynamic,
                   strikeBufferCreated);
    strikeBufferCreated = true;
}

#pragma once
// What a run wants of the cloud service, as the cloud page offers it: skip it, sign in to an account that
// exists, or sign up for a new one (each then binds the recorder). Qt-free: the answer file's reader includes it.

namespace vrx::steps {

enum class CloudWish { Skip, SignIn, SignUp };

}  // namespace vrx::steps

// The animation player's sources join this library as they are written.
namespace patapata {}

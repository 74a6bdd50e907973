// velmora-dump for Node (the WebAssembly build): the program sees the environment Node was
// started with, as the native one does, not emscripten's stand-in (USER=web_user,
// HOME=/home/web_user, LANG from the browser): it finds Wine prefixes through HOME and
// WINEPREFIX, and the user's language through LC_ALL, LC_MESSAGES and LANG.
Module['preRun'] = [].concat(Module['preRun'] || [], function () {
  for (var name of ['USER', 'LOGNAME', 'PATH', 'PWD', 'HOME', 'LANG', '_'])
    ENV[name] = undefined;
  Object.assign(ENV, process.env);
});

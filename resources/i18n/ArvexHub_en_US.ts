<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name>ArvexHubLauncher</name>
    <message>
        <source>%1 Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must restart the application for it to take this change into account.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Theme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change the app&apos;s look. No need to restart.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Game Information Panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Displays detailed information about the selected Game.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ask before removing a game</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Games are only removed from disk, not from your account.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset to factory defaults.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The game process failed to start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The game process crashed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The game process timed out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An unknown error occurred to the game process.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save To File…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playing:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear console</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close console</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No game playing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The console log could not be saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; could not be written: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder could not be copied: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder holds no start file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The start file cannot be made executable.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The files could not be put in place: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The download address %1 is not allowed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No temporary file can be written: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough free disk space.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The download could not be written to disk: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The connection was lost before the download was complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The download is damaged: it does not match the catalogue&apos;s checksum.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The archive cannot be installed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The archive holds no start file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop Files Here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accepts folders and ArvexHub Games</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Update Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have %1, %2 is available.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to check for updates. Error code: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not install &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The process failed to start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The process crashed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The process had a write error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The process had a read error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The process no longer responds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dark</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Light</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to remove this ArvexHub Game?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not a game folder (a start script at its top level), or it is already in the library or being added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to replace this ArvexHub Game?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A game named %1 is already installed. Its saves are kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your Arvex games, movies, e-books and music in one place: download, install, update and play them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>© 2026 Arvex Games. All rights reserved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An error occurred while running the game</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The item will be removed from disk, not from your account.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show this message next time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Arvex games added yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update Game</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop Game</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play Game</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Game Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No movies added yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No ebooks added yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No albums added yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch Theme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show/Hide Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show/Hide Game Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show/Hide Movie Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Game</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to remove this Movie?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to remove this Ebook?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to remove this Album?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play Album</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Album to Playlist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download Album</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Album Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Thumbnail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read Ebook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Ebook Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Ebook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watching</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Movie Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watch Movie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop Movie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play Song</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Song to Playlist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play Movie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Movie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Album</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The game package cannot be installed: its name is not a valid game name, or a game of that name is being added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Debug</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show or hide the Debug lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find in console (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sends a command to the running game; Up and Down recall the earlier commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Game command</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type a command for the game and press Enter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start a game to send it commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The command could not be sent to the game.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find in console</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous match (Shift+Enter)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next match (Enter)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close the find bar (Escape)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No results</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keyboard Shortcuts…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Media player</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Catalogue offline, fetched %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fetch the catalogue again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is installed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couch Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: controller connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading… %1%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Available to download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version %1, %2 available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Queued</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installing…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum simultaneous downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other downloads wait in the queue, in the order asked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n s left</source>
        <translation>
            <numerusform>%n s left</numerusform>
            <numerusform>%n s left</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n min left</source>
        <translation>
            <numerusform>%n min left</numerusform>
            <numerusform>%n min left</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n h left</source>
        <translation>
            <numerusform>%n h left</numerusform>
            <numerusform>%n h left</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n downloading</source>
        <translation>
            <numerusform>%n downloading</numerusform>
            <numerusform>%n downloading</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n queued</source>
        <translation>
            <numerusform>%n queued</numerusform>
            <numerusform>%n queued</numerusform>
        </translation>
    </message>
    <message>
        <source>less than a minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n min</source>
        <translation>
            <numerusform>%n min</numerusform>
            <numerusform>%n min</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>yesterday</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>%n day ago</numerusform>
            <numerusform>%n days ago</numerusform>
        </translation>
    </message>
    <message>
        <source>on %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Played %1 · last played %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading %1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update available: %1 → %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installed · %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not installed · %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort the library</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recently played</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recently added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installed first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All</source>
        <comment>library filter</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installed</source>
        <comment>library filter</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updates</source>
        <comment>library filter</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Never played</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n session(s)</source>
        <translation>
            <numerusform>%n session</numerusform>
            <numerusform>%n sessions</numerusform>
        </translation>
    </message>
    <message>
        <source>A new version of %1 is available: %2 → %3. Do you want to update now?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing here matches the chosen filter.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EbookReaderTab</name>
    <message>
        <source>Close Ebook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle Fullscreen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle Controls</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit Fullscreen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First and last page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click a chapter to go to it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EbookSearchPanel</name>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search the book (%1). Enter shows the next match, Shift+Enter the previous one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Searching… matches so far: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Matches: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MediaPlayerTab</name>
    <message>
        <source>Save Playlist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playlist name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Playlist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playlists (*.m3u *.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Current Playlist File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle Fullscreen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Empty Playlist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are no items in the playlist to save.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not save playlist to file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Playlist Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A playlist name must be a single file name: not empty, not &quot;.&quot; or &quot;..&quot;, and without &quot;/&quot; or &quot;\&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm Overwrite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playlist &apos;%1&apos; already exists. Do you want to overwrite it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not open the selected playlist file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Playlist Loaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no playlist file loaded to remove.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to permanently delete the playlist file &apos;%1&apos; from your disk?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm Deletion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to delete the playlist file. Error: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Success</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playlist file deleted successfully.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play or pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back 5 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forward 5 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back 30 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forward 30 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Volume up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Volume down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mute or unmute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full screen (or double click the picture)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave full screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click or drag to seek; %1 and %2 move by 5 seconds, with Shift by 30 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Volume (%1 and %2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MovieListView</name>
    <message>
        <source>Add to Media Player Playlist</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SearchResultDelegate</name>
    <message>
        <source>Page %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>arvexhub::style::AboutDialog</name>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Website</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

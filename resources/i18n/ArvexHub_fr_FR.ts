<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en_US">
<context>
    <name>ArvexHubLauncher</name>
    <message>
        <source>%1 Preferences</source>
        <translation>Préférences de %1</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>You must restart the application for it to take this change into account.</source>
        <translation>Vous devez redémarrer l’application pour que ce changement soit pris en compte.</translation>
    </message>
    <message>
        <source>Theme</source>
        <translation>Thème</translation>
    </message>
    <message>
        <source>Change the app&apos;s look. No need to restart.</source>
        <translation>Change l’apparence de l’application. Inutile de redémarrer.</translation>
    </message>
    <message>
        <source>Show Game Information Panel</source>
        <translation>Afficher le panneau d’informations du jeu</translation>
    </message>
    <message>
        <source>Displays detailed information about the selected Game.</source>
        <translation>Affiche des informations détaillées sur le jeu sélectionné.</translation>
    </message>
    <message>
        <source>Ask before removing a game</source>
        <translation>Demander avant de supprimer un jeu</translation>
    </message>
    <message>
        <source>Games are only removed from disk, not from your account.</source>
        <translation>Les jeux sont seulement supprimés du disque, pas de votre compte.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Reset to factory defaults.</source>
        <translation>Rétablir les réglages d’usine.</translation>
    </message>
    <message>
        <source>The game process failed to start.</source>
        <translation>Le processus du jeu n’a pas pu démarrer.</translation>
    </message>
    <message>
        <source>The game process crashed.</source>
        <translation>Le processus du jeu s’est arrêté brutalement.</translation>
    </message>
    <message>
        <source>The game process timed out.</source>
        <translation>Le processus du jeu a dépassé le délai imparti.</translation>
    </message>
    <message>
        <source>An unknown error occurred to the game process.</source>
        <translation>Une erreur inconnue est survenue dans le processus du jeu.</translation>
    </message>
    <message>
        <source>Save To File…</source>
        <translation>Enregistrer dans un fichier…</translation>
    </message>
    <message>
        <source>Playing:</source>
        <translation>En cours :</translation>
    </message>
    <message>
        <source>Clear console</source>
        <translation>Effacer la console</translation>
    </message>
    <message>
        <source>Close console</source>
        <translation>Fermer la console</translation>
    </message>
    <message>
        <source>No game playing</source>
        <translation>Aucun jeu en cours</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Tout sélectionner</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>The console log could not be saved</source>
        <translation>Le journal de la console n’a pas pu être enregistré</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; could not be written: %2</source>
        <translation>Le fichier « %1 » n’a pas pu être écrit : %2</translation>
    </message>
    <message>
        <source>The folder could not be copied: %1</source>
        <translation>Le dossier n’a pas pu être copié : %1</translation>
    </message>
    <message>
        <source>The folder holds no start file.</source>
        <translation>Le dossier ne contient aucun fichier de démarrage.</translation>
    </message>
    <message>
        <source>The start file cannot be made executable.</source>
        <translation>Le fichier de démarrage ne peut pas être rendu exécutable.</translation>
    </message>
    <message>
        <source>The files could not be put in place: %1</source>
        <translation>Les fichiers n’ont pas pu être mis en place : %1</translation>
    </message>
    <message>
        <source>The download address %1 is not allowed.</source>
        <translation>L’adresse de téléchargement %1 n’est pas autorisée.</translation>
    </message>
    <message>
        <source>No temporary file can be written: %1</source>
        <translation>Aucun fichier temporaire ne peut être écrit : %1</translation>
    </message>
    <message>
        <source>There is not enough free disk space.</source>
        <translation>L’espace disque libre est insuffisant.</translation>
    </message>
    <message>
        <source>The download could not be written to disk: %1</source>
        <translation>Le téléchargement n’a pas pu être écrit sur le disque : %1</translation>
    </message>
    <message>
        <source>The connection was lost before the download was complete.</source>
        <translation>La connexion a été perdue avant la fin du téléchargement.</translation>
    </message>
    <message>
        <source>The download is damaged: it does not match the catalogue&apos;s checksum.</source>
        <translation>Le téléchargement est endommagé : il ne correspond pas à la somme de contrôle du catalogue.</translation>
    </message>
    <message>
        <source>The archive cannot be installed: %1</source>
        <translation>L’archive ne peut pas être installée : %1</translation>
    </message>
    <message>
        <source>The archive holds no start file.</source>
        <translation>L’archive ne contient aucun fichier de démarrage.</translation>
    </message>
    <message>
        <source>Drop Files Here</source>
        <translation>Déposez les fichiers ici</translation>
    </message>
    <message>
        <source>Accepts folders and ArvexHub Games</source>
        <translation>Accepte les dossiers et les jeux ArvexHub</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Recherche de mises à jour…</translation>
    </message>
    <message>
        <source>No Update Available</source>
        <translation>Aucune mise à jour disponible</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>Mise à jour disponible</translation>
    </message>
    <message>
        <source>You have %1, %2 is available.</source>
        <translation>Vous avez %1, %2 est disponible.</translation>
    </message>
    <message>
        <source>Failed to check for updates. Error code: %1</source>
        <translation>Impossible de rechercher les mises à jour. Code d’erreur : %1</translation>
    </message>
    <message>
        <source>Could not install &quot;%1&quot;: %2</source>
        <translation>Impossible d’installer « %1 » : %2</translation>
    </message>
    <message>
        <source>Unknown error.</source>
        <translation>Erreur inconnue.</translation>
    </message>
    <message>
        <source>The process failed to start.</source>
        <translation>Le processus n’a pas pu démarrer.</translation>
    </message>
    <message>
        <source>The process crashed.</source>
        <translation>Le processus s’est arrêté brutalement.</translation>
    </message>
    <message>
        <source>The process had a write error.</source>
        <translation>Le processus a rencontré une erreur d’écriture.</translation>
    </message>
    <message>
        <source>The process had a read error.</source>
        <translation>Le processus a rencontré une erreur de lecture.</translation>
    </message>
    <message>
        <source>The process no longer responds.</source>
        <translation>Le processus ne répond plus.</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Sombre</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Clair</translation>
    </message>
    <message>
        <source>Do you want to remove this ArvexHub Game?</source>
        <translation>Voulez-vous supprimer ce jeu ArvexHub ?</translation>
    </message>
    <message>
        <source>It is not a game folder (a start script at its top level), or it is already in the library or being added.</source>
        <translation>Ce n’est pas un dossier de jeu (un script de démarrage à sa racine), ou il est déjà dans la bibliothèque ou en cours d’ajout.</translation>
    </message>
    <message>
        <source>Do you want to replace this ArvexHub Game?</source>
        <translation>Voulez-vous remplacer ce jeu ArvexHub ?</translation>
    </message>
    <message>
        <source>A game named %1 is already installed. Its saves are kept.</source>
        <translation>Un jeu nommé %1 est déjà installé. Ses sauvegardes sont conservées.</translation>
    </message>
    <message>
        <source>Your Arvex games, movies, e-books and music in one place: download, install, update and play them.</source>
        <translation>Vos jeux, films, livres numériques et musiques Arvex réunis : téléchargez-les, installez-les, mettez-les à jour et profitez-en.</translation>
    </message>
    <message>
        <source>Source Code</source>
        <translation>Code source</translation>
    </message>
    <message>
        <source>© 2026 Arvex Games. All rights reserved.</source>
        <translation>© 2026 Arvex Games. Tous droits réservés.</translation>
    </message>
    <message>
        <source>An error occurred while running the game</source>
        <translation>Une erreur s’est produite pendant l’exécution du jeu</translation>
    </message>
    <message>
        <source>The item will be removed from disk, not from your account.</source>
        <translation>L’élément sera supprimé du disque, pas de votre compte.</translation>
    </message>
    <message>
        <source>Show this message next time</source>
        <translation>Afficher ce message la prochaine fois</translation>
    </message>
    <message>
        <source>No Arvex games added yet.</source>
        <translation>Aucun jeu Arvex ajouté pour le moment.</translation>
    </message>
    <message>
        <source>Update Game</source>
        <translation>Mettre à jour le jeu</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
    <message>
        <source>Stop Game</source>
        <translation>Arrêter le jeu</translation>
    </message>
    <message>
        <source>Play Game</source>
        <translation>Jouer</translation>
    </message>
    <message>
        <source>Show Game Information</source>
        <translation>Afficher les informations du jeu</translation>
    </message>
    <message>
        <source>No movies added yet.</source>
        <translation>Aucun film ajouté pour le moment.</translation>
    </message>
    <message>
        <source>No ebooks added yet.</source>
        <translation>Aucun livre numérique ajouté pour le moment.</translation>
    </message>
    <message>
        <source>No albums added yet.</source>
        <translation>Aucun album ajouté pour le moment.</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Search…</source>
        <translation>Rechercher…</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Préférences…</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Affichage</translation>
    </message>
    <message>
        <source>Switch Theme</source>
        <translation>Changer de thème</translation>
    </message>
    <message>
        <source>Show/Hide Information</source>
        <translation>Afficher/masquer les informations</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>About…</source>
        <translation>À propos…</translation>
    </message>
    <message>
        <source>Show/Hide Game Information</source>
        <translation>Afficher/masquer les informations du jeu</translation>
    </message>
    <message>
        <source>Show/Hide Movie Information</source>
        <translation>Afficher/masquer les informations du film</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Jouer</translation>
    </message>
    <message>
        <source>Remove Game</source>
        <translation>Supprimer le jeu</translation>
    </message>
    <message>
        <source>Do you want to remove this Movie?</source>
        <translation>Voulez-vous supprimer ce film ?</translation>
    </message>
    <message>
        <source>Do you want to remove this Ebook?</source>
        <translation>Voulez-vous supprimer ce livre numérique ?</translation>
    </message>
    <message>
        <source>Do you want to remove this Album?</source>
        <translation>Voulez-vous supprimer cet album ?</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>En lecture</translation>
    </message>
    <message>
        <source>Play Album</source>
        <translation>Écouter l’album</translation>
    </message>
    <message>
        <source>Add Album to Playlist</source>
        <translation>Ajouter l’album à la liste de lecture</translation>
    </message>
    <message>
        <source>Download Album</source>
        <translation>Télécharger l’album</translation>
    </message>
    <message>
        <source>Show Album Information</source>
        <translation>Afficher les informations de l’album</translation>
    </message>
    <message>
        <source>No Thumbnail</source>
        <translation>Aucune vignette</translation>
    </message>
    <message>
        <source>Reading</source>
        <translation>En cours de lecture</translation>
    </message>
    <message>
        <source>Read Ebook</source>
        <translation>Lire le livre</translation>
    </message>
    <message>
        <source>Show Ebook Information</source>
        <translation>Afficher les informations du livre</translation>
    </message>
    <message>
        <source>Remove Ebook</source>
        <translation>Supprimer le livre</translation>
    </message>
    <message>
        <source>Watching</source>
        <translation>En visionnage</translation>
    </message>
    <message>
        <source>Show Movie Information</source>
        <translation>Afficher les informations du film</translation>
    </message>
    <message>
        <source>Watch Movie</source>
        <translation>Regarder le film</translation>
    </message>
    <message>
        <source>Stop Movie</source>
        <translation>Arrêter le film</translation>
    </message>
    <message>
        <source>Play Song</source>
        <translation>Écouter le morceau</translation>
    </message>
    <message>
        <source>Add Song to Playlist</source>
        <translation>Ajouter le morceau à la liste de lecture</translation>
    </message>
    <message>
        <source>Play Movie</source>
        <translation>Lire le film</translation>
    </message>
    <message>
        <source>Remove Movie</source>
        <translation>Supprimer le film</translation>
    </message>
    <message>
        <source>Remove Album</source>
        <translation>Supprimer l’album</translation>
    </message>
    <message>
        <source>The game package cannot be installed: its name is not a valid game name, or a game of that name is being added.</source>
        <translation>Le paquet de jeu ne peut pas être installé : son nom n’est pas un nom de jeu valide, ou un jeu de ce nom est en cours d’ajout.</translation>
    </message>
    <message>
        <source>Debug</source>
        <translation>Débogage</translation>
    </message>
    <message>
        <source>Show or hide the Debug lines</source>
        <translation>Afficher ou masquer les lignes de débogage</translation>
    </message>
    <message>
        <source>Find in console (%1)</source>
        <translation>Rechercher dans la console (%1)</translation>
    </message>
    <message>
        <source>Sends a command to the running game; Up and Down recall the earlier commands</source>
        <translation>Envoie une commande au jeu en cours ; Haut et Bas rappellent les commandes précédentes</translation>
    </message>
    <message>
        <source>Game command</source>
        <translation>Commande pour le jeu</translation>
    </message>
    <message>
        <source>Type a command for the game and press Enter</source>
        <translation>Saisissez une commande pour le jeu et appuyez sur Entrée</translation>
    </message>
    <message>
        <source>Start a game to send it commands</source>
        <translation>Lancez un jeu pour lui envoyer des commandes</translation>
    </message>
    <message>
        <source>The command could not be sent to the game.</source>
        <translation>La commande n’a pas pu être envoyée au jeu.</translation>
    </message>
    <message>
        <source>Find in console</source>
        <translation>Rechercher dans la console</translation>
    </message>
    <message>
        <source>Previous match (Shift+Enter)</source>
        <translation>Résultat précédent (Maj+Entrée)</translation>
    </message>
    <message>
        <source>Next match (Enter)</source>
        <translation>Résultat suivant (Entrée)</translation>
    </message>
    <message>
        <source>Close the find bar (Escape)</source>
        <translation>Fermer la recherche (Échap)</translation>
    </message>
    <message>
        <source>No results</source>
        <translation>Aucun résultat</translation>
    </message>
    <message>
        <source>%1 matches</source>
        <translation>%1 résultats</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts…</source>
        <translation>Raccourcis clavier…</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Raccourcis clavier</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Touche</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Fenêtre</translation>
    </message>
    <message>
        <source>Media player</source>
        <translation>Lecteur multimédia</translation>
    </message>
    <message>
        <source>Catalogue offline, fetched %1</source>
        <translation>Catalogue hors ligne, récupéré le %1</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Réessayer</translation>
    </message>
    <message>
        <source>Fetch the catalogue again</source>
        <translation>Récupérer à nouveau le catalogue</translation>
    </message>
    <message>
        <source>Download finished</source>
        <translation>Téléchargement terminé</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is installed.</source>
        <translation>« %1 » est installé.</translation>
    </message>
    <message>
        <source>Download failed</source>
        <translation>Échec du téléchargement</translation>
    </message>
    <message>
        <source>Couch Mode</source>
        <translation>Mode canapé</translation>
    </message>
    <message>
        <source>%1: controller connected</source>
        <translation>%1 : manette connectée</translation>
    </message>
    <message>
        <source>Downloading… %1%</source>
        <translation>Téléchargement… %1 %</translation>
    </message>
    <message>
        <source>Downloading…</source>
        <translation>Téléchargement…</translation>
    </message>
    <message>
        <source>Installed</source>
        <translation>Installé</translation>
    </message>
    <message>
        <source>Available to download</source>
        <translation>Disponible au téléchargement</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Version %1, %2 available</source>
        <translation>Version %1, %2 disponible</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Reprendre</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Cancel Download</source>
        <translation>Annuler le téléchargement</translation>
    </message>
    <message>
        <source>Queued</source>
        <translation>En attente</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>En pause</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Installing…</source>
        <translation>Installation…</translation>
    </message>
    <message>
        <source>Maximum simultaneous downloads</source>
        <translation>Téléchargements simultanés au maximum</translation>
    </message>
    <message>
        <source>Other downloads wait in the queue, in the order asked.</source>
        <translation>Les autres téléchargements attendent leur tour, dans l’ordre demandé.</translation>
    </message>
    <message numerus="yes">
        <source>%n s left</source>
        <translation>
            <numerusform>%n s restante</numerusform>
            <numerusform>%n s restantes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n min left</source>
        <translation>
            <numerusform>%n min restante</numerusform>
            <numerusform>%n min restantes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n h left</source>
        <translation>
            <numerusform>%n h restante</numerusform>
            <numerusform>%n h restantes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n downloading</source>
        <translation>
            <numerusform>%n téléchargement en cours</numerusform>
            <numerusform>%n téléchargements en cours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n queued</source>
        <translation>
            <numerusform>%n en attente</numerusform>
            <numerusform>%n en attente</numerusform>
        </translation>
    </message>
    <message>
        <source>less than a minute</source>
        <translation>moins d’une minute</translation>
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
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>today</source>
        <translation>aujourd’hui</translation>
    </message>
    <message>
        <source>yesterday</source>
        <translation>hier</translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>il y a %n jour</numerusform>
            <numerusform>il y a %n jours</numerusform>
        </translation>
    </message>
    <message>
        <source>on %1</source>
        <translation>le %1</translation>
    </message>
    <message>
        <source>Played %1 · last played %2</source>
        <translation>Joué %1 · dernière partie %2</translation>
    </message>
    <message>
        <source>Downloading %1 %</source>
        <translation>Téléchargement %1 %</translation>
    </message>
    <message>
        <source>Update available</source>
        <translation>Mise à jour disponible</translation>
    </message>
    <message>
        <source>Update available: %1 → %2</source>
        <translation>Mise à jour disponible : %1 → %2</translation>
    </message>
    <message>
        <source>Installed · %1</source>
        <translation>Installé · %1</translation>
    </message>
    <message>
        <source>Not installed</source>
        <translation>Non installé</translation>
    </message>
    <message>
        <source>Not installed · %1</source>
        <translation>Non installé · %1</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Trier</translation>
    </message>
    <message>
        <source>Sort the library</source>
        <translation>Trier la bibliothèque</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Recently played</source>
        <translation>Joués récemment</translation>
    </message>
    <message>
        <source>Recently added</source>
        <translation>Ajoutés récemment</translation>
    </message>
    <message>
        <source>Installed first</source>
        <translation>Installés d’abord</translation>
    </message>
    <message>
        <source>All</source>
        <comment>library filter</comment>
        <translation>Tous</translation>
    </message>
    <message>
        <source>Installed</source>
        <comment>library filter</comment>
        <translation>Installés</translation>
    </message>
    <message>
        <source>Updates</source>
        <comment>library filter</comment>
        <translation>Mises à jour</translation>
    </message>
    <message>
        <source>Never played</source>
        <translation>Jamais joué</translation>
    </message>
    <message numerus="yes">
        <source>%n session(s)</source>
        <translation>
            <numerusform>%n partie</numerusform>
            <numerusform>%n parties</numerusform>
        </translation>
    </message>
    <message>
        <source>A new version of %1 is available: %2 → %3. Do you want to update now?</source>
        <translation>Une nouvelle version de %1 est disponible : %2 → %3. Voulez-vous mettre à jour maintenant ?</translation>
    </message>
    <message>
        <source>Nothing here matches the chosen filter.</source>
        <translation>Rien ici ne correspond au filtre choisi.</translation>
    </message>
</context>
<context>
    <name>EbookReaderTab</name>
    <message>
        <source>Close Ebook</source>
        <translation>Fermer le livre</translation>
    </message>
    <message>
        <source>Toggle Fullscreen</source>
        <translation>Plein écran</translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Previous Page</source>
        <translation>Page précédente</translation>
    </message>
    <message>
        <source>Next Page</source>
        <translation>Page suivante</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Zoom avant</translation>
    </message>
    <message>
        <source>Toggle Controls</source>
        <translation>Afficher/masquer les commandes</translation>
    </message>
    <message>
        <source>Exit Fullscreen</source>
        <translation>Quitter le plein écran</translation>
    </message>
    <message>
        <source>First and last page</source>
        <translation>Première et dernière page</translation>
    </message>
    <message>
        <source>Click a chapter to go to it</source>
        <translation>Cliquez sur un chapitre pour vous y rendre</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Sommaire</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Recherche</translation>
    </message>
</context>
<context>
    <name>EbookSearchPanel</name>
    <message>
        <source>Search</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Search the book (%1). Enter shows the next match, Shift+Enter the previous one.</source>
        <translation>Rechercher dans le livre (%1). Entrée montre l’occurrence suivante, Maj+Entrée la précédente.</translation>
    </message>
    <message>
        <source>Searching… matches so far: %1</source>
        <translation>Recherche… occurrences trouvées : %1</translation>
    </message>
    <message>
        <source>No matches</source>
        <translation>Aucune occurrence</translation>
    </message>
    <message>
        <source>Match %1 of %2</source>
        <translation>Occurrence %1 sur %2</translation>
    </message>
    <message>
        <source>Matches: %1</source>
        <translation>Occurrences : %1</translation>
    </message>
</context>
<context>
    <name>MediaPlayerTab</name>
    <message>
        <source>Save Playlist</source>
        <translation>Enregistrer la liste de lecture</translation>
    </message>
    <message>
        <source>Playlist name:</source>
        <translation>Nom de la liste de lecture :</translation>
    </message>
    <message>
        <source>Load Playlist</source>
        <translation>Ouvrir une liste de lecture</translation>
    </message>
    <message>
        <source>Playlists (*.m3u *.txt)</source>
        <translation>Listes de lecture (*.m3u *.txt)</translation>
    </message>
    <message>
        <source>Delete Current Playlist File</source>
        <translation>Supprimer le fichier de la liste de lecture</translation>
    </message>
    <message>
        <source>Toggle Fullscreen</source>
        <translation>Plein écran</translation>
    </message>
    <message>
        <source>Empty Playlist</source>
        <translation>Liste de lecture vide</translation>
    </message>
    <message>
        <source>There are no items in the playlist to save.</source>
        <translation>La liste de lecture ne contient aucun élément à enregistrer.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Could not save playlist to file.</source>
        <translation>Impossible d’enregistrer la liste de lecture dans un fichier.</translation>
    </message>
    <message>
        <source>Invalid Playlist Name</source>
        <translation>Nom de liste de lecture non valide</translation>
    </message>
    <message>
        <source>A playlist name must be a single file name: not empty, not &quot;.&quot; or &quot;..&quot;, and without &quot;/&quot; or &quot;\&quot;.</source>
        <translation>Le nom d’une liste de lecture doit être un simple nom de fichier : non vide, ni « . » ni « .. », et sans « / » ni « \ ».</translation>
    </message>
    <message>
        <source>Confirm Overwrite</source>
        <translation>Confirmer le remplacement</translation>
    </message>
    <message>
        <source>Playlist &apos;%1&apos; already exists. Do you want to overwrite it?</source>
        <translation>La liste de lecture « %1 » existe déjà. Voulez-vous la remplacer ?</translation>
    </message>
    <message>
        <source>Could not open the selected playlist file.</source>
        <translation>Impossible d’ouvrir le fichier de liste de lecture choisi.</translation>
    </message>
    <message>
        <source>No Playlist Loaded</source>
        <translation>Aucune liste de lecture ouverte</translation>
    </message>
    <message>
        <source>There is no playlist file loaded to remove.</source>
        <translation>Aucun fichier de liste de lecture ouvert à supprimer.</translation>
    </message>
    <message>
        <source>Are you sure you want to permanently delete the playlist file &apos;%1&apos; from your disk?</source>
        <translation>Voulez-vous vraiment supprimer définitivement le fichier de liste de lecture « %1 » de votre disque ?</translation>
    </message>
    <message>
        <source>Confirm Deletion</source>
        <translation>Confirmer la suppression</translation>
    </message>
    <message>
        <source>Failed to delete the playlist file. Error: %1</source>
        <translation>Impossible de supprimer le fichier de liste de lecture. Erreur : %1</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Terminé</translation>
    </message>
    <message>
        <source>Playlist file deleted successfully.</source>
        <translation>Le fichier de liste de lecture a été supprimé.</translation>
    </message>
    <message>
        <source>Play or pause</source>
        <translation>Lecture ou pause</translation>
    </message>
    <message>
        <source>Back 5 seconds</source>
        <translation>Reculer de 5 secondes</translation>
    </message>
    <message>
        <source>Forward 5 seconds</source>
        <translation>Avancer de 5 secondes</translation>
    </message>
    <message>
        <source>Back 30 seconds</source>
        <translation>Reculer de 30 secondes</translation>
    </message>
    <message>
        <source>Forward 30 seconds</source>
        <translation>Avancer de 30 secondes</translation>
    </message>
    <message>
        <source>Volume up</source>
        <translation>Monter le volume</translation>
    </message>
    <message>
        <source>Volume down</source>
        <translation>Baisser le volume</translation>
    </message>
    <message>
        <source>Mute or unmute</source>
        <translation>Couper ou rétablir le son</translation>
    </message>
    <message>
        <source>Full screen (or double click the picture)</source>
        <translation>Plein écran (ou double-clic sur l’image)</translation>
    </message>
    <message>
        <source>Leave full screen</source>
        <translation>Quitter le plein écran</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <source>Click or drag to seek; %1 and %2 move by 5 seconds, with Shift by 30 seconds</source>
        <translation>Cliquez ou faites glisser pour changer de position ; %1 et %2 déplacent de 5 secondes, avec Maj de 30 secondes</translation>
    </message>
    <message>
        <source>Volume (%1 and %2)</source>
        <translation>Volume (%1 et %2)</translation>
    </message>
</context>
<context>
    <name>MovieListView</name>
    <message>
        <source>Add to Media Player Playlist</source>
        <translation>Ajouter à la liste de lecture du lecteur</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>SearchResultDelegate</name>
    <message>
        <source>Page %1</source>
        <translation>Page %1</translation>
    </message>
</context>
<context>
    <name>arvexhub::style::AboutDialog</name>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Site web</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
</context>
</TS>
